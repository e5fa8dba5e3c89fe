#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "desktop_fixture.h"
#include "results_model.h"
#include "save_results_dialog.h"
#include "tarnwick/messages.h"

namespace tarnwick::gui::test {
namespace {

namespace fs = std::filesystem;
using tarnwick::test::readFile;

class SaveResultsTest : public DesktopTest {
 protected:
  void crawlInWindow() {
    serveSite();
    FetchDialog* fetch = openFetch();
    fillFetch(fetch, server.base() + "/", 1);
    child<QPushButton>(fetch, "goButton")->click();
    handleRequests();
    ASSERT_FALSE(window->searchRunning());
  }
  // The same crawl by the command line, writing its own files.
  void crawlByCli(const std::vector<std::string>& fileArgs) {
    std::vector<std::string> args = {"crawl", server.base() + "/", "--levels", "1",
                                     "--find", "links,images,emails,keywords",
                                     "--keywords", "key", "--ignore-case"};
    args.insert(args.end(), fileArgs.begin(), fileArgs.end());
    const auto result = runCli(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  // Ticks in "Save results" what `tick` names and nothing else, then presses "Save".
  void answerSaveWith(std::vector<std::string> tick, const QString& extensions = {}) {
    prompts.onModal = [this, tick, extensions](QDialog& dialog) {
      const auto ticked = [&](const std::string& name) {
        return std::find(tick.begin(), tick.end(), name) != tick.end();
      };
      // The scope first: its refresh undoes the other boxes.
      if (ticked("selectedBranchBox") != child<QCheckBox>(&dialog, "selectedBranchBox")->isChecked())
        child<QCheckBox>(&dialog, "selectedBranchBox")->click();
      for (const char* name : {"emailsBox", "allWebLinksBox", "keywordsBox", "onlyExtensionsBox"})
        child<QCheckBox>(&dialog, name)->setChecked(ticked(name));
      if (!extensions.isEmpty()) child<QLineEdit>(&dialog, "extensionsEdit")->setText(extensions);
      child<QPushButton>(&dialog, "saveButton")->click();
      return dialog.result();
    };
  }
  std::string saveTo(const std::string& name) {
    const fs::path path = dir.path() / name;
    prompts.saveFile = QString::fromStdString(path.string());
    window->saveResults();
    return path.string();
  }
};

TEST_F(SaveResultsTest, DialogStartsWithTheWholeTreeAndNoSection) {
  prompts.onModal = [this](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Save results");
    for (const char* name : {"emailsBox", "allWebLinksBox", "keywordsBox", "onlyExtensionsBox",
                             "selectedBranchBox"})
      EXPECT_FALSE(child<QCheckBox>(&dialog, name)->isChecked()) << name;
    EXPECT_TRUE(child<QCheckBox>(&dialog, "saveAllBox")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&dialog, "extensionsEdit")->text(), "html, hml, php, p");
    EXPECT_TRUE(child<QLineEdit>(&dialog, "extensionsEdit")->isEnabled());
    EXPECT_EQ(child<QLabel>(&dialog, "extensionsHint")->text(),
              "Print extention of pages to save. No preseeded points are nessesary. "
              "Deviders - spaces, commas, semicomas.");
    child<QPushButton>(&dialog, "saveButton")->click();
    return dialog.result();
  };
  window->saveResults();
  EXPECT_EQ(prompts.asked, std::vector<QString>{messages::kChooseSameOption});
  EXPECT_TRUE(prompts.chooserTitles.empty());

  // The extension filter alone is no section either.
  prompts.asked.clear();
  answerSaveWith({"onlyExtensionsBox"});
  window->saveResults();
  EXPECT_EQ(prompts.asked, std::vector<QString>{messages::kChooseSameOption});
}

// A click on either scope box flips the pair and shows the stored choices
// again, undoing what was ticked since the opening.
TEST_F(SaveResultsTest, ScopePairAndExtensionBox) {
  prompts.onModal = [this](QDialog& dialog) {
    auto* saveAll = child<QCheckBox>(&dialog, "saveAllBox");
    auto* branch = child<QCheckBox>(&dialog, "selectedBranchBox");
    auto* emails = child<QCheckBox>(&dialog, "emailsBox");
    auto* edit = child<QLineEdit>(&dialog, "extensionsEdit");
    emails->click();
    edit->setText(QStringLiteral("typed"));
    branch->click();
    EXPECT_TRUE(branch->isChecked());
    EXPECT_FALSE(saveAll->isChecked());
    EXPECT_FALSE(emails->isChecked()) << "the refresh undoes the tick";
    EXPECT_EQ(edit->text(), "html, hml, php, p");
    // A click on the ticked box of the pair flips it too.
    branch->click();
    EXPECT_FALSE(branch->isChecked());
    EXPECT_TRUE(saveAll->isChecked());
    saveAll->click();
    EXPECT_FALSE(saveAll->isChecked());
    EXPECT_TRUE(branch->isChecked());

    auto* only = child<QCheckBox>(&dialog, "onlyExtensionsBox");
    only->click();
    EXPECT_TRUE(only->isChecked());
    EXPECT_TRUE(edit->isEnabled());
    only->click();
    EXPECT_FALSE(edit->isEnabled());
    child<QPushButton>(&dialog, "closeButton")->click();
    return dialog.result();
  };
  window->saveResults();
  EXPECT_TRUE(prompts.asked.empty()) << "Close saves nothing";
}

// Close, Enter and the title-bar button keep the choices for the next
// opening; Esc forgets them. None of them saves.
TEST_F(SaveResultsTest, ChoicesOutliveTheDialog) {
  struct Ending {
    const char* name;
    std::function<void(QDialog&)> end;
    bool kept;
  };
  const std::vector<Ending> endings = {
      {"Close", [this](QDialog& d) { child<QPushButton>(&d, "closeButton")->click(); }, true},
      {"Enter", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
      {"title bar", [](QDialog& d) { d.close(); }, true},
      {"Esc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.name);
    const bool before = window->saveOptions().keywords;
    prompts.onModal = [this, &ending](QDialog& dialog) {
      dialog.show();
      child<QCheckBox>(&dialog, "keywordsBox")->click();
      ending.end(dialog);
      EXPECT_FALSE(dialog.isVisible());
      return dialog.result();
    };
    window->saveResults();
    EXPECT_EQ(window->saveOptions().keywords, ending.kept ? !before : before);
    EXPECT_TRUE(prompts.chooserTitles.empty());
    EXPECT_TRUE(prompts.asked.empty());
  }
  bool shown = false;
  prompts.onModal = [this, &shown](QDialog& dialog) {
    shown = child<QCheckBox>(&dialog, "keywordsBox")->isChecked();
    return QDialog::Rejected;
  };
  window->saveResults();
  EXPECT_EQ(shown, window->saveOptions().keywords);
}

// Each section of the whole tree, as the command line writes it for the same crawl.
TEST_F(SaveResultsTest, SectionsMatchTheCommandLinesExport) {
  crawlInWindow();
  struct Case {
    std::vector<std::string> tick;
    std::string sections;
    QString extensions;
  };
  const std::vector<Case> cases = {
      {{"emailsBox"}, "emails", {}},
      {{"allWebLinksBox"}, "links", {}},
      {{"keywordsBox"}, "keywords", {}},
      {{"emailsBox", "allWebLinksBox", "keywordsBox"}, "emails,links,keywords", {}},
      {{"allWebLinksBox", "onlyExtensionsBox"}, "links", QStringLiteral("html;gif")},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.sections);
    answerSaveWith(c.tick, c.extensions);
    const std::string ours = saveTo("window" + std::to_string(i) + ".txt");
    EXPECT_EQ(prompts.chooserTitles.back(), "Choose file to save");
    std::vector<std::string> args = {"--export", (dir.path() / "cli.txt").string(),
                                     "--sections", c.sections};
    if (!c.extensions.isEmpty()) {
      args.push_back("--extensions");
      args.push_back(c.extensions.toStdString());
    }
    crawlByCli(args);
    EXPECT_EQ(readFile(ours), readFile(dir.path() / "cli.txt"));
    EXPECT_FALSE(readFile(ours).empty());
  }
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(SaveResultsTest, SelectedBranchOnly) {
  ResultsTree& t = window->tree();
  const Item page = t.insert(t.rootItem(), "http://h.example/", NodeKind::Page);
  const Item links = t.insert(page, "Web links", NodeKind::WebLinksCategory);
  t.insert(links, "http://h.example/a.html", NodeKind::WebLinkEntry);
  t.insert(links, "http://h.example/b.png", NodeKind::WebLinkEntry);
  const Item emails = t.insert(page, "E-mails", NodeKind::EmailsCategory);
  const Item email = t.insert(emails, "me@h.example", NodeKind::EmailEntry);
  answerSaveWith({"selectedBranchBox", "allWebLinksBox", "emailsBox"});

  window->view().setCurrentIndex(window->model().indexOf(links));
  EXPECT_EQ(readFile(saveTo("links.txt")), "http://h.example/a.html\r\nhttp://h.example/b.png\r\n");
  window->view().setCurrentIndex(window->model().indexOf(email));
  EXPECT_EQ(readFile(saveTo("email.txt")), "me@h.example  http://h.example/\n");
  window->view().setCurrentIndex({});
  EXPECT_EQ(readFile(saveTo("nothing.txt")), "");
}

// A name typed without an extension gets ".txt"; one with its own keeps it.
TEST_F(SaveResultsTest, ChosenNamesAndFilesThatCannotBeWritten) {
  crawlInWindow();
  answerSaveWith({"emailsBox"});
  saveTo("plain");
  EXPECT_TRUE(fs::exists(dir.path() / "plain.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "plain"));
  saveTo("list.lst");
  EXPECT_TRUE(fs::exists(dir.path() / "list.lst"));
  EXPECT_EQ(prompts.proposedPaths.back().toStdString(),
            dir.path().string() + "/plain.txt") << "the last chosen name is proposed again";
  EXPECT_TRUE(prompts.asked.empty());

  saveTo("no/such/folder/out.txt");
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_TRUE(prompts.asked[0].startsWith(messages::kSavingFileCannotOpen))
      << prompts.asked[0].toStdString();

  prompts.asked.clear();
  prompts.saveFile.clear();
  window->saveResults();
  EXPECT_TRUE(prompts.asked.empty()) << "a cancelled chooser does nothing";
}

TEST_F(SaveResultsTest, TreeWithStructureMatchesTheCommandLine) {
  prompts.saveFile = QString::fromStdString((dir.path() / "empty.txt").string());
  window->saveTreeWithStructure();
  EXPECT_EQ(prompts.chooserTitles.back(), "Choose file to search");
  EXPECT_FALSE(fs::exists(dir.path() / "empty.txt")) << "nothing under the root: no file";
  EXPECT_TRUE(prompts.asked.empty());

  crawlInWindow();
  prompts.saveFile = QString::fromStdString((dir.path() / "tree").string());
  window->saveTreeWithStructure();
  crawlByCli({"--structure", (dir.path() / "cli.txt").string()});
  EXPECT_EQ(readFile(dir.path() / "tree.txt"), readFile(dir.path() / "cli.txt"));
  EXPECT_NE(readFile(dir.path() / "tree.txt").find("\n  Web links\n"), std::string::npos);

  fs::create_directory(dir.path() / "folder.txt");
  prompts.saveFile = QString::fromStdString((dir.path() / "folder.txt").string());
  window->saveTreeWithStructure();
  ASSERT_EQ(prompts.asked.size(), 1u);
}

}  // namespace
}  // namespace tarnwick::gui::test
