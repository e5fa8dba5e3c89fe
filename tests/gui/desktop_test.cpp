#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>

#include "fetch_dialog.h"
#include "local_dialog.h"
#include "main_window.h"
#include "node_icons.h"
#include "results_model.h"
#include "desktop_fixture.h"
#include "scripted_prompts.h"
#include "start_request.h"
#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick::gui::test {
namespace {

TEST_F(DesktopTest, WindowMenusAndNodePictures) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarnwick"));
  EXPECT_EQ(findWindowByTitle(QStringLiteral("Tarnwick")), window.get());
  QStringList menus;
  for (QAction* menu : window->menuBar()->actions()) {
    QStringList items;
    for (QAction* item : menu->menu()->actions())
      items << (item->isSeparator() ? QStringLiteral("|") : item->text().remove('&'));
    menus << menu->text().remove('&') + ":" + items.join(',');
  }
  EXPECT_EQ(menus.join(';').toStdString(),
            "Fetch:Internet,Local mashine;"
            "Tools:Autoupadate,Download one page,Download list of links from file;"
            "Results:Save,Save all tree with structrure,Clear;"
            "Help:Online help,|,About Tarnwick...");
  EXPECT_EQ(dumpTree(window->tree()), "7  - \n");
  // Ten distinct pictures that load (the SVG plugin is present).
  std::set<qint64> seen;
  for (int kind = 0; kind < kNodeKindCount; ++kind) {
    const QImage image = nodeIcon(static_cast<NodeKind>(kind)).pixmap(16, 16).toImage();
    ASSERT_FALSE(image.isNull()) << "picture of kind " << kind;
    seen.insert(image.cacheKey() == 0 ? kind : qHashBits(image.constBits(), image.sizeInBytes()));
  }
  EXPECT_EQ(seen.size(), 10u);
  // Progress bar over the tree's top, 5-pixel margins, tree to the bottom.
  window->resize(700, 400);
  QCoreApplication::processEvents();
  const QWidget* panel = window->centralWidget();
  EXPECT_EQ(window->progressBar().geometry(), QRect(5, 5, panel->width() - 10, 9));
  EXPECT_EQ(window->view().geometry(), QRect(5, 10, panel->width() - 10, panel->height() - 10));
}

TEST_F(DesktopTest, MenuOpensAndClosesTheSearchDialogsOneAtATime) {
  FetchDialog* fetch = openFetch();
  ASSERT_NE(fetch, nullptr);
  EXPECT_EQ(fetch->pos(), QPoint(150, 100));
  EXPECT_NE(findWindowByTitle(QStringLiteral("Fetch Internet")), nullptr);
  window->toggleFetchDialog();
  EXPECT_EQ(window->fetchWindow(), nullptr) << "the second command closes it";
  openFetch();
  LocalDialog* local = openLocal();
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(window->fetchWindow(), nullptr) << "opening one search dialog closes the other";
  EXPECT_EQ(local->pos(), QPoint(150, 100));
  // Closed by its own button, the dialog is destroyed by the start request.
  child<QPushButton>(local, "closeButton")->click();
  handleRequests();
  EXPECT_EQ(window->localWindow(), nullptr);
  EXPECT_NE(openFetch(), nullptr);
  EXPECT_EQ(window->localWindow(), nullptr);
}

TEST_F(DesktopTest, GoChecksTheAddressFirst) {
  FetchDialog* fetch = openFetch();
  const std::pair<const char*, const char*> cases[] = {
      {"", messages::kAddressEmpty},
      {"www.site.example", messages::kAddressSchemeMissing},
      {"ftp://site.example/", messages::kAddressSchemeMissing}};
  for (const auto& [address, message] : cases) {
    prompts.asked.clear();
    child<QLineEdit>(fetch, "addressEdit")->setText(QString::fromLatin1(address));
    child<QPushButton>(fetch, "goButton")->click();
    handleRequests();
    ASSERT_EQ(prompts.asked.size(), 1u) << address;
    EXPECT_EQ(prompts.asked[0].toStdString(), message);
    EXPECT_TRUE(child<QPushButton>(fetch, "goButton")->isEnabled()) << "stays idle";
    EXPECT_EQ(window->tree().size(), 1u) << "nothing was crawled";
  }
}

TEST_F(DesktopTest, LevelVolumeAndWebLinksControlsStepTheStoredValues) {
  FetchDialog* fetch = openFetch();
  auto* level = child<QSpinBox>(fetch, "levelEdit");
  auto* label = child<QLabel>(fetch, "levelLabel");
  auto* volume = child<QDoubleSpinBox>(fetch, "volumeEdit");
  FetchOptions& values = window->settings().fetch;
  level->stepDown();
  EXPECT_EQ(values.levels, 0);
  EXPECT_EQ(label->text(), QStringLiteral("Search only current file."));
  level->stepUp();
  EXPECT_EQ(label->text(), QStringLiteral("Search 1 levels down."));
  level->setValue(3);  // typed: read before the step
  level->stepUp();
  EXPECT_EQ(values.levels, 4);

  EXPECT_FALSE(volume->isEnabled()) << "only with Download to:";
  volume->setValue(5);  // typed, then replaced by the stored value's step
  volume->stepUp();
  EXPECT_NEAR(values.maxDownloadGB, 0.70, 1e-9);
  EXPECT_EQ(volume->text(), QStringLiteral("0.7"));
  values.maxDownloadGB = 0.05;
  volume->stepDown();
  EXPECT_DOUBLE_EQ(values.maxDownloadGB, 0.01);
  volume->stepDown();
  EXPECT_DOUBLE_EQ(values.maxDownloadGB, 0.01);

  auto* webLinks = child<QPushButton>(fetch, "webLinksButton");
  webLinks->click();
  EXPECT_FALSE(values.findWebLinks);
  EXPECT_EQ(values.levels, 0);
  EXPECT_FALSE(level->isEnabled());
  webLinks->click();
  EXPECT_TRUE(values.findWebLinks);
  EXPECT_EQ(values.levels, 0) << "the old level is not restored";
  EXPECT_TRUE(level->isEnabled());

  // Download to: a cancelled chooser leaves the box ticked; a chosen folder is kept.
  auto* downloadTo = child<QCheckBox>(fetch, "downloadTo");
  downloadTo->click();
  EXPECT_TRUE(downloadTo->isChecked());
  EXPECT_EQ(prompts.chooserTitles.back(),
            QStringLiteral("Choose folder that will contain download files"));
  prompts.folder = QString::fromStdString((dir.path() / "store").string());
  downloadTo->click();
  downloadTo->click();
  EXPECT_EQ(values.downloadFolder, (dir.path() / "store").string());
  EXPECT_TRUE(volume->isEnabled());
  window->toggleFetchDialog();
  fetch = openFetch();
  EXPECT_EQ(values.downloadFolder, (dir.path() / "store").string()) << "kept while ticked";
  child<QCheckBox>(fetch, "downloadTo")->click();
  EXPECT_EQ(values.downloadFolder, "");
}

TEST_F(DesktopTest, GoCrawlsAsTheCommandLineDoes) {
  serveSite();
  FetchDialog* fetch = openFetch();
  fillFetch(fetch, server.base() + "/", 1);
  QAbstractItemModelTester tester(&window->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  child<QPushButton>(fetch, "goButton")->click();
  EXPECT_FALSE(child<QPushButton>(fetch, "goButton")->isEnabled());
  handleRequests();
  EXPECT_EQ(dumpTree(window->tree()), cliCrawlTree(server.base() + "/", 1));
  EXPECT_TRUE(child<QPushButton>(fetch, "goButton")->isEnabled()) << "idle again";
  EXPECT_FALSE(child<QPushButton>(fetch, "stopButton")->isEnabled());
  EXPECT_TRUE(std::regex_match(child<QLabel>(fetch, "found")->text().toStdString(),
                               std::regex(R"(\d+ key words \d+ links \d+ images \d+ emails found)")));
  EXPECT_TRUE(window->view().isExpanded(window->model().indexOf(window->tree().rootItem())));
  EXPECT_EQ(tarnwick::test::readFile(dir.path() / "currentlinks.txt").find(server.base()), 0u);
  // The model walks the same tree as the dump.
  const QModelIndex root = window->model().index(0, 0);
  EXPECT_EQ(root.data().toString(), QStringLiteral(" - "));
  EXPECT_EQ(window->model().rowCount(root), 1);
  window->clearResults();
  EXPECT_EQ(window->model().rowCount(), 1);
}

TEST_F(DesktopTest, StopQuestionYesEndsTheCrawlAndNoGoesOn) {
  std::string links;
  for (int i = 0; i < 3000; ++i) links += "<a href=\"p" + std::to_string(i) + ".html\">x</a>\n";
  server.serve("/", Page::chunked(links, 1024, std::chrono::milliseconds(1)));
  const std::string full = cliCrawlTree(server.base() + "/", 0);
  for (const Answer answer : {Answer::Yes, Answer::No}) {
    window->clearResults();
    prompts.asked.clear();
    prompts.answers = {answer};
    FetchDialog* fetch = qobject_cast<FetchDialog*>(window->fetchWindow());
    if (fetch == nullptr) fetch = openFetch();
    fillFetch(fetch, server.base() + "/", 0);
    auto* stop = child<QPushButton>(fetch, "stopButton");
    QTimer::singleShot(1, stop, [stop] { stop->click(); });
    child<QPushButton>(fetch, "goButton")->click();
    handleRequests();
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].toStdString(), messages::kStopQuestion);
    if (answer == Answer::No)
      EXPECT_EQ(dumpTree(window->tree()), full) << "No goes on to the end";
    else
      EXPECT_LT(window->tree().size(), 1000u) << "Yes ends the page where it was";
    window->toggleFetchDialog();  // closed between the runs: the options stay
  }
}

// The window's three answers store and stop as the command line's three do.
TEST_F(DesktopTest, VolumeQuestionAnswersAsTheCommandLine) {
  const std::string big(11u << 20, 'z');  // over 0.01 GB
  server.serve("/", "<a href=\"big.zip\">big</a> <a href=\"after.html\">after</a>");
  server.serve("/big.zip", big);
  server.serve("/after.html", "<a href=\"big2.zip\">again</a>");
  server.serve("/big2.zip", big);
  const std::pair<Answer, const char*> cases[] = {
      {Answer::Yes, "stop"}, {Answer::No, "continue"}, {Answer::Cancel, "once"}};
  int run = 0;
  for (const auto& [answer, flag] : cases) {
    SCOPED_TRACE(flag);
    const fs::path windowFolder = dir.path() / ("window" + std::to_string(run));
    const fs::path cliFolder = dir.path() / ("cli" + std::to_string(run++));
    fs::create_directories(windowFolder);
    fs::create_directories(cliFolder);
    window->clearResults();
    prompts.asked.clear();
    prompts.answers = {answer, answer};
    prompts.folder = QString::fromStdString(windowFolder.string());
    if (window->fetchWindow() != nullptr) window->toggleFetchDialog();
    window->settings().fetch = FetchOptions{};
    FetchDialog* fetch = openFetch();
    child<QLineEdit>(fetch, "addressEdit")->setText(QString::fromStdString(server.base() + "/"));
    child<QSpinBox>(fetch, "levelEdit")->stepUp();
    child<QSpinBox>(fetch, "levelEdit")->stepUp();
    child<QCheckBox>(fetch, "downloadTo")->click();
    for (int i = 0; i < 70; ++i) child<QDoubleSpinBox>(fetch, "volumeEdit")->stepDown();
    ASSERT_DOUBLE_EQ(window->settings().fetch.maxDownloadGB, 0.01);
    child<QPushButton>(fetch, "goButton")->click();
    handleRequests();
    ASSERT_FALSE(prompts.asked.empty());
    EXPECT_EQ(prompts.asked[0].toStdString(), messages::kVolumeQuestion);
    const auto cli = runCli({"crawl", server.base() + "/", "--levels", "2", "--download-to",
                             cliFolder.string(), "--max-gb", "0.01", "--volume-answer", flag,
                             "--tree", "-"});
    EXPECT_EQ(dumpTree(window->tree()), cli.out) << cli.err;
    std::set<std::string> windowFiles, cliFiles;
    for (const auto& e : fs::directory_iterator(windowFolder))
      windowFiles.insert(e.path().filename().string() + ":" + std::to_string(e.file_size()));
    for (const auto& e : fs::directory_iterator(cliFolder))
      cliFiles.insert(e.path().filename().string() + ":" + std::to_string(e.file_size()));
    EXPECT_EQ(windowFiles, cliFiles);
  }
}

TEST_F(DesktopTest, FindSearchesAFolderAsTheCommandLineDoes) {
  const fs::path docs = dir.path() / "docs";
  dir.write("docs/one.txt", "see http://site.example/page.html and mail me@site.example KEY key");
  dir.write("docs/two.html", "<img src=\"pic.gif\"> <a href=\"/x.html\">x</a> key");
  dir.write("docs/empty.txt", "");
  LocalDialog* local = openLocal();
  ASSERT_NE(local, nullptr);
  prompts.fileOrFolder = 1;
  prompts.folder = QString::fromStdString(docs.string());
  child<QPushButton>(local, "browseButton")->click();
  EXPECT_EQ(child<QLineEdit>(local, "searchPathEdit")->text().toStdString(), docs.string());
  child<QPushButton>(local, "webLinksButton")->click();
  child<QPushButton>(local, "emailsButton")->click();
  child<QPushButton>(local, "imagesButton")->click();
  child<QLineEdit>(local, "keywordsEdit")->setText(QStringLiteral("key"));
  child<QPushButton>(local, "findButton")->click();
  EXPECT_FALSE(child<QPushButton>(local, "findButton")->isEnabled());
  handleRequests();
  const auto cli = runCli({"local", docs.string(), "--find", "links,images,emails,keywords",
                           "--keywords", "key", "--match-case", "--tree", "-"});
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  EXPECT_EQ(dumpTree(window->tree()), cli.out);
  EXPECT_TRUE(child<QPushButton>(local, "findButton")->isEnabled());
  EXPECT_EQ(child<QLabel>(local, "report")->text().toStdString(),
            window->settings().local.reportText);
  EXPECT_NE(window->settings().local.reportText.find("in 3 files"), std::string::npos);
}

TEST_F(DesktopTest, LocalCategoryTogglesAndMissingTarget) {
  LocalDialog* local = openLocal();
  auto* find = child<QPushButton>(local, "findButton");
  auto* keywords = child<QPushButton>(local, "keywordsButton");
  auto* webLinks = child<QPushButton>(local, "webLinksButton");
  keywords->click();  // the only category goes off
  EXPECT_FALSE(find->isEnabled());
  EXPECT_FALSE(child<QLineEdit>(local, "keywordsEdit")->isEnabled());
  child<QPushButton>(local, "imagesButton")->click();
  EXPECT_FALSE(find->isEnabled()) << "Images has no handler";
  webLinks->click();
  EXPECT_TRUE(find->isEnabled());
  // Nothing chosen: the search says so and adds nothing.
  find->click();
  handleRequests();
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].toStdString(), messages::kSearchObjectUndetermined);
  EXPECT_EQ(window->tree().size(), 1u);
  // File chosen, then cancelled: the box empties and the old target stays.
  prompts.fileOrFolder = 0;
  prompts.file = QString::fromStdString(dir.write("f.txt", "x").string());
  child<QPushButton>(local, "browseButton")->click();
  EXPECT_EQ(window->settings().local.searchTarget, 0);
  EXPECT_EQ(prompts.chooserTitles.back(), QStringLiteral("Open"));
  prompts.file.clear();
  child<QPushButton>(local, "browseButton")->click();
  EXPECT_EQ(child<QLineEdit>(local, "searchPathEdit")->text(), QString());
  EXPECT_EQ(window->settings().local.searchTarget, 0);
}

TEST_F(DesktopTest, SettingsAreWrittenOnCloseAndReadAtTheNextStart) {
  FetchDialog* fetch = openFetch();
  child<QLineEdit>(fetch, "addressEdit")->setText(QStringLiteral("http://site.example/start"));
  child<QPushButton>(fetch, "emailsButton")->click();
  // Esc does not end the main window.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &escape);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(fs::exists(settingsPath()));
  EXPECT_TRUE(window->close());
  ASSERT_TRUE(fs::exists(settingsPath())) << "in the user's configuration folder";
  EXPECT_EQ(window->fetchWindow(), nullptr);
  window.reset();
  window = std::make_unique<MainWindow>(prompts, settingsPath());
  EXPECT_EQ(window->settings().fetch.startAddress, "http://site.example/start");
  EXPECT_TRUE(window->settings().fetch.findEmails);
  EXPECT_EQ(window->settings().workFolder, (dir.path() / "home").string());
}

TEST_F(DesktopTest, AboutBoxAndHelp) {
  for (QAction* menu : window->menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (item->text() == QStringLiteral("&About Tarnwick...")) item->trigger();
  ASSERT_EQ(prompts.modalTitles.size(), 1u);
  EXPECT_EQ(prompts.modalTitles[0], QStringLiteral("About Tarnwick"));
}

}  // namespace
}  // namespace tarnwick::gui::test
