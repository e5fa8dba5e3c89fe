#include <functional>
#include <set>

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"
#include "tools_fixture.h"

namespace tarnwick::gui::test {
namespace {

// Every file of a folder with its bytes.
std::set<std::pair<std::string, std::string>> filesIn(const fs::path& folder) {
  std::set<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files.insert({entry.path().filename().string(), readFile(entry.path())});
  return files;
}

class DownloadToolsTest : public ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    server.serve("/get/tool.zip", content);
    server.serve("/get/notes.zip", "notes");
    Page broken = Page::html(content);
    broken.fault = tarnwick::test::Fault::ResetMidBody;
    broken.cutAt = 2500;
    server.serve("/get/broken.zip", broken);
  }

  // Runs Tools > "Download one page": address typed, then `button` pressed.
  void downloadOnePage(const std::string& address, const char* button = "downloadButton") {
    prompts.onModal = [&](QDialog& dialog) {
      dialog.show();
      child<QLineEdit>(&dialog, "addressEdit")->setText(QString::fromStdString(address));
      child<QPushButton>(&dialog, button)->click();
      return dialog.result();
    };
    trigger(QStringLiteral("Download one page"));
    prompts.onModal = nullptr;
  }
  // Runs Tools > "Download list of links from file" with these choices.
  void downloadList(const fs::path& list, const fs::path& folder) {
    prompts.file = QString::fromStdString(list.string());
    prompts.folder = QString::fromStdString(folder.string());
    trigger(QStringLiteral("Download list of links from file"));
  }
  QString at(const char* name) const {
    return QString::fromStdString((dir.path() / name).string());
  }

  const std::string content = std::string(3000, 'z') + "end";
};

TEST_F(DownloadToolsTest, OnePageDialogChecksAndRemembersTheAddress) {
  // First use shows "http://www."; Download with it passes the check.
  prompts.onModal = [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print or paste WEB URL to download"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "addressEdit")->text(), QStringLiteral("http://www."));
    child<QPushButton>(&dialog, "downloadButton")->click();
    return dialog.result();
  };
  trigger(QStringLiteral("Download one page"));
  EXPECT_EQ(prompts.chooserTitles,
            std::vector<QString>{QStringLiteral("Choose file and location to save")});
  EXPECT_TRUE(prompts.asked.empty()) << "cancelled chooser: nothing more";

  // "https://" holds no "http://": refused, the dialog stays open.
  prompts.onModal = [&](QDialog& dialog) {
    dialog.show();
    child<QLineEdit>(&dialog, "addressEdit")->setText(QStringLiteral("https://site.example/a"));
    child<QPushButton>(&dialog, "downloadButton")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.asked, std::vector<QString>{QLatin1String(messages::kDownloadCheckUrl)});
    child<QLineEdit>(&dialog, "addressEdit")->setText(QStringLiteral("typed"));
    child<QPushButton>(&dialog, "closeButton")->click();
    return dialog.result();
  };
  trigger(QStringLiteral("Download one page"));
  EXPECT_EQ(prompts.chooserTitles.size(), 1u) << "Close downloads nothing";
  EXPECT_EQ(tools().pageRequest().address, QStringLiteral("typed")) << "Close keeps the text";

  // Esc and the close box download nothing and forget what was typed.
  for (const bool escape : {true, false}) {
    prompts.onModal = [&](QDialog& dialog) {
      dialog.show();
      EXPECT_EQ(child<QLineEdit>(&dialog, "addressEdit")->text(), QStringLiteral("typed"));
      child<QLineEdit>(&dialog, "addressEdit")->setText(QStringLiteral("http://other.example/"));
      if (escape)
        QTest::keyClick(&dialog, Qt::Key_Escape);
      else
        dialog.close();
      return dialog.result();
    };
    trigger(QStringLiteral("Download one page"));
    EXPECT_EQ(prompts.chooserTitles.size(), 1u);
    EXPECT_EQ(tools().pageRequest().address, QStringLiteral("typed"));
  }
  // Enter presses Download, with its check.
  prompts.onModal = [&](QDialog& dialog) {
    dialog.show();
    child<QLineEdit>(&dialog, "addressEdit")->setText(QStringLiteral("ask http://site.example/x"));
    QTest::keyClick(child<QLineEdit>(&dialog, "addressEdit"), Qt::Key_Return);
    return dialog.result();
  };
  trigger(QStringLiteral("Download one page"));
  EXPECT_EQ(prompts.chooserTitles.size(), 2u) << "\"http://\" in the middle passes";
}

// What the window stores for an address is what tarnwick-cli download stores;
// every failure leaves the target as it was and says why.
TEST_F(DownloadToolsTest, OnePageStoresWhatTheCommandLineStores) {
  const struct {
    std::string path;
    const char* target;
    bool stored;
    std::string message;  // the start of the one message shown
  } rows[] = {
      {"/get/tool.zip", "page.zip", true, ""},
      {"/get/missing.zip", "page.zip", false, "1 of 1 address was not downloaded:\n\n"},
      {"/get/broken.zip", "page.zip", false, ""},  // curl's own text
      {"/get/tool.zip", "page.zip/inside", false, "The downloaded file can not be written: "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + " " + row.target);
    prompts.asked.clear();
    prompts.proposedPaths.clear();
    prompts.saveFile = at(row.target);
    const std::string before =
        fs::exists(dir.path() / "page.zip") ? readFile(dir.path() / "page.zip") : "";
    downloadOnePage(url(row.path));
    ASSERT_EQ(prompts.proposedPaths.size(), 1u);
    EXPECT_EQ(prompts.proposedPaths[0].toStdString(),
              proposedDownloadPath(dir.path().string(), url(row.path)));
    // The command line gets a target of the same kind.
    const fs::path cliTarget =
        dir.path() / (row.target == std::string("page.zip") ? "cli.zip" : "page.zip/cli");
    const auto cli = runCli({"download", url(row.path), "-o", cliTarget.string()});
    EXPECT_EQ(cli.exitCode == 0, row.stored) << cli.err;
    if (row.stored) {
      EXPECT_TRUE(prompts.asked.empty()) << prompts.asked[0].toStdString();
      EXPECT_EQ(readFile(dir.path() / "page.zip"), readFile(dir.path() / "cli.zip"));
      EXPECT_EQ(readFile(dir.path() / "page.zip"), content);
    } else {
      ASSERT_EQ(prompts.asked.size(), 1u);
      EXPECT_EQ(prompts.asked[0].toStdString().rfind(row.message, 0), 0u)
          << prompts.asked[0].toStdString();
      EXPECT_EQ(readFile(dir.path() / "page.zip"), before) << "left as it was";
      EXPECT_FALSE(fs::exists(dir.path() / "cli.zip"));
    }
    fs::remove(dir.path() / "cli.zip");
    EXPECT_EQ(window->progressBar().value(), 0);
  }
}

TEST_F(DownloadToolsTest, ListGoesOnAndSumsUpWhatFailedInOneMessage) {
  const fs::path list =
      dir.write("list.txt", url("/get/tool.zip") + "\r\n " + url("/get/indented.zip") + "\r\n" +
                                url("/get/broken.zip") + "\"\r\n" + url("/get/missing.zip") +
                                "\r\n" + url("/get/notes.zip"));
  fs::create_directories(dir.path() / "window");
  fs::create_directories(dir.path() / "cli");
  downloadList(list, dir.path() / "window");
  EXPECT_EQ(prompts.chooserTitles,
            (std::vector<QString>{
                QStringLiteral("Open text file containing list of web-links to download"),
                QStringLiteral("Choose folder that will contain download files")}));
  ASSERT_EQ(prompts.asked.size(), 1u) << "one message for the whole batch";
  const std::string summary = prompts.asked[0].toStdString();
  EXPECT_EQ(summary.rfind(
                "2 of 4 addresses were not downloaded:\n\n" + url("/get/broken.zip") + " - ", 0),
            0u)
      << summary;
  EXPECT_NE(summary.find(url("/get/missing.zip") + " - the server answered with an error status"),
            std::string::npos)
      << summary;
  const auto cli = runCli({"download-list", list.string(), "-d", (dir.path() / "cli").string()});
  EXPECT_EQ(cli.exitCode, 1) << cli.err;
  EXPECT_EQ(filesIn(dir.path() / "window"), filesIn(dir.path() / "cli"));
  EXPECT_EQ(filesIn(dir.path() / "window").size(), 2u);
  EXPECT_EQ(readFile(dir.path() / "window/tool.zip"), content);
  EXPECT_EQ(window->progressBar().value(), 0);
  EXPECT_EQ(server.requestCount("/get/indented.zip"), 0u);
}

TEST_F(DownloadToolsTest, ListFilesThatCannotBeUsed) {
  const fs::path none = dir.write("none.txt", "HTTPS://a.org/\n https://b.org/\n");
  const fs::path one = dir.write("one.txt", url("/get/tool.zip") + "\n" + url("/get/notes.zip"));
  const struct {
    fs::path list, folder;
    std::size_t choosers;
    std::string message;  // the start of the one message shown
  } rows[] = {
      {none, dir.path(), 1, messages::kNoLinksFound},
      {dir.path(), dir.path(), 1, "The list of links can not be read: "},
      // A folder nobody may write to, root included.
      {one, "/proc", 2,
       "2 of 2 addresses were not downloaded:\n\n" + url("/get/tool.zip") +
           " - The downloaded file can not be written: "},
      // A file in place of the folder: each address is tried and named.
      {one, one, 2,
       "2 of 2 addresses were not downloaded:\n\n" + url("/get/tool.zip") +
           " - The downloaded file can not be written: "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.list.string());
    prompts.asked.clear();
    prompts.chooserTitles.clear();
    downloadList(row.list, row.folder);
    EXPECT_EQ(prompts.chooserTitles.size(), row.choosers);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].toStdString().rfind(row.message, 0), 0u)
        << prompts.asked[0].toStdString();
  }
  EXPECT_EQ(readFile(one), url("/get/tool.zip") + "\n" + url("/get/notes.zip"));
  // A cancelled chooser ends the command quietly.
  prompts.asked.clear();
  prompts.folder.clear();
  prompts.file = QString::fromStdString(one.string());
  trigger(QStringLiteral("Download list of links from file"));
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_EQ(server.requestCount("/get/notes.zip"), 2u);
}

// While the batch runs the window serves its events and shows the progress;
// closing it stops the batch, removes the partial file and then closes.
TEST_F(DownloadToolsTest, TheWindowStaysLiveAndClosingStopsTheBatch) {
  server.serve("/get/slow.zip",
               Page::chunked(std::string(64 * 1024, 's'), 1024, std::chrono::milliseconds(5)));
  const fs::path list = dir.write("list.txt", url("/get/slow.zip") + "\n" + url("/get/notes.zip"));
  fs::create_directories(dir.path() / "out");
  QString status;
  int progress = -1;
  // Looks at the window once the first block is in, then closes it.
  std::function<void()> watch = [&] {
    if (window->statusBar()->currentMessage().isEmpty()) return QTimer::singleShot(1, watch);
    status = window->statusBar()->currentMessage();
    progress = window->progressBar().value();
    EXPECT_TRUE(tools().downloading());
    window->close();
  };
  QTimer::singleShot(1, watch);
  downloadList(list, dir.path() / "out");
  EXPECT_EQ(status.toStdString().rfind("Downloading 1 of 2: " + url("/get/slow.zip") + " (", 0), 0u)
      << status.toStdString();
  EXPECT_GE(progress, 0);
  EXPECT_LT(progress, 50) << "still on the first of two addresses";
  EXPECT_TRUE(prompts.asked.empty()) << "no summary for a window that closes";
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(fs::is_empty(dir.path() / "out")) << "the partial file is removed";
  EXPECT_EQ(server.requestCount("/get/notes.zip"), 0u);
}

}  // namespace
}  // namespace tarnwick::gui::test
