#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QTreeView>

#include "desktop_fixture.h"
#include "results_model.h"
#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"
#include "tree_item_commands.h"

namespace tarnwick::gui::test {
namespace {

namespace fs = std::filesystem;
using tarnwick::test::Fault;
using tarnwick::test::readFile;

// A tree with one item of every kind, links with and without their own address.
struct KnownTree {
  Item root, page, webLinks, link, linkWebLinks, relative, rooted, emails, email, keywords,
      keyword, images, image, error;
};

class TreeCommandsTest : public DesktopTest {
 protected:
  KnownTree build() {
    ResultsTree& t = window->tree();
    KnownTree k;
    k.root = t.rootItem();
    k.page = t.insert(k.root, "http://h.example/dir/page.html", NodeKind::Page);
    k.webLinks = t.insert(k.page, "Web links", NodeKind::WebLinksCategory);
    k.link = t.insert(k.webLinks, "http://h.example/dir/a.html", NodeKind::WebLinkEntry);
    k.linkWebLinks = t.insert(k.link, "Web links", NodeKind::WebLinksCategory);
    k.relative = t.insert(k.linkWebLinks, "rel/x.html", NodeKind::WebLinkEntry);
    k.rooted = t.insert(k.linkWebLinks, "/rel/x.html", NodeKind::WebLinkEntry);
    k.emails = t.insert(k.page, "E-mails", NodeKind::EmailsCategory);
    k.email = t.insert(k.emails, "me@h.example", NodeKind::EmailEntry);
    k.keywords = t.insert(k.page, "Key words", NodeKind::KeywordsCategory);
    k.keyword = t.insert(k.keywords, "(1) 'key' ", NodeKind::KeywordEntry);
    k.images = t.insert(k.page, "Images links", NodeKind::Image);
    k.image = t.insert(k.images, "http://h.example/p.gif", NodeKind::Image);
    k.error = t.insert(k.page, "Page is empty.", NodeKind::ErrorItem);
    window->view().expandAll();
    return k;
  }

  QPoint centreOf(Item item) {
    const QModelIndex index = window->model().indexOf(item);
    window->view().scrollTo(index);
    return window->view().visualRect(index).center();
  }

  // A right click on item as the platform delivers it, then a click on the
  // menu's command.
  void command(Item item, const QString& caption) {
    QWidget* viewport = window->view().viewport();
    const QPoint at = centreOf(item);
    QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &menuEvent);
    QMenu& menu = window->itemCommands().menu();
    ASSERT_TRUE(menu.isVisible());
    for (QAction* action : menu.actions()) {
      if (action->text() != caption) continue;
      menu.hide();
      action->trigger();
      return;
    }
    FAIL() << "no command " << caption.toStdString();
  }

  void doubleClick(Item item) {
    QTest::mouseDClick(window->view().viewport(), Qt::LeftButton, {}, centreOf(item));
  }

  std::string label(Item item) { return std::string(window->tree().label(item)); }
};

TEST_F(TreeCommandsTest, MenuHoldsTheFiveCommandsInOrder) {
  build();
  QStringList captions;
  for (QAction* action : window->itemCommands().menu().actions()) captions << action->text();
  EXPECT_EQ(captions.join('|').toStdString(),
            "Download|Open|Edit|Set link as initial WEB UR|Delete");
}

// Open hands the item's address to the browser; a double click does the same
// for pages and links only; anything but a web address is never handed on.
TEST_F(TreeCommandsTest, OpenAndDoubleClickByKind) {
  const KnownTree k = build();
  struct Case {
    Item item;
    std::string opened;  // empty: nothing handed to the browser
    bool byDoubleClick;
  };
  const std::vector<Case> cases = {
      {k.page, "http://h.example/dir/page.html", true},
      {k.webLinks, "", false},  // "Web links" under a page under the root: the label itself
      {k.link, "http://h.example/dir/a.html", true},
      {k.relative, "http://h.example/rel/x.html", true},  // scheme and host, the folder dropped
      {k.rooted, "http://h.example/rel/x.html", true},
      {k.email, "http://h.example/me@h.example", false},
      {k.keyword, "http://h.example/(1) 'key' ", false},
      {k.image, "http://h.example/p.gif", false},
      {k.root, "", false},
      {k.error, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(label(c.item));
    prompts.opened.clear();
    command(c.item, QStringLiteral("Open"));
    ASSERT_EQ(prompts.opened.size(), c.opened.empty() ? 0u : 1u);
    if (!c.opened.empty()) {
      EXPECT_EQ(prompts.opened[0], QUrl(QString::fromStdString(c.opened), QUrl::TolerantMode));
    }
    prompts.opened.clear();
    doubleClick(c.item);
    EXPECT_EQ(prompts.opened.size(), c.byDoubleClick ? 1u : 0u);
  }
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(TreeCommandsTest, DeleteRemovesBranchesButNotTheRootOrErrors) {
  const KnownTree k = build();
  QAbstractItemModelTester tester(&window->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  for (Item refused : {k.root, k.error}) {
    prompts.asked.clear();
    const std::string before = dumpTree(window->tree());
    command(refused, QStringLiteral("Delete"));
    EXPECT_EQ(prompts.asked, std::vector<QString>{messages::kNotForDeleting});
    EXPECT_EQ(dumpTree(window->tree()), before);
  }
  prompts.asked.clear();
  command(k.keyword, QStringLiteral("Delete"));
  command(k.link, QStringLiteral("Delete"));
  EXPECT_FALSE(window->tree().contains(k.relative)) << "the link's branch goes with it";
  command(k.images, QStringLiteral("Delete"));
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_EQ(dumpTree(window->tree()),
            "7  - \n"
            "  0 http://h.example/dir/page.html\n"
            "    1 Web links\n"
            "    2 E-mails\n"
            "      6 me@h.example\n"
            "    3 Key words\n"
            "    8 Page is empty.\n");
  command(k.page, QStringLiteral("Delete"));
  EXPECT_EQ(dumpTree(window->tree()), "7  - \n");
}

// Only a link becomes the start address; an open "Fetch Internet" shows its
// stored values again, so what was typed there and not taken is gone.
TEST_F(TreeCommandsTest, SetLinkAsStartAddress) {
  const KnownTree k = build();
  for (Item notLink : {k.page, k.webLinks, k.email, k.keyword, k.image, k.root, k.error}) {
    prompts.asked.clear();
    command(notLink, QStringLiteral("Set link as initial WEB UR"));
    EXPECT_EQ(prompts.asked, std::vector<QString>{messages::kNotLink}) << label(notLink);
  }
  EXPECT_EQ(window->settings().fetch.startAddress, "");

  command(k.relative, QStringLiteral("Set link as initial WEB UR"));
  EXPECT_EQ(window->settings().fetch.startAddress, "http://h.example/rel/x.html");
  FetchDialog* fetch = openFetch();
  EXPECT_EQ(child<QLineEdit>(fetch, "addressEdit")->text(), "http://h.example/rel/x.html");

  child<QLineEdit>(fetch, "addressEdit")->setText(QStringLiteral("typed"));
  child<QLineEdit>(fetch, "keywordsEdit")->setText(QStringLiteral("typed too"));
  command(k.link, QStringLiteral("Set link as initial WEB UR"));
  EXPECT_EQ(child<QLineEdit>(fetch, "addressEdit")->text(), "http://h.example/dir/a.html");
  EXPECT_EQ(child<QLineEdit>(fetch, "keywordsEdit")->text(), "");
}

TEST_F(TreeCommandsTest, EditedLabelsAreRejected) {
  const KnownTree k = build();
  command(k.link, QStringLiteral("Edit"));
  auto* editor = qobject_cast<QLineEdit*>(
      window->view().indexWidget(window->model().indexOf(k.link)));
  ASSERT_NE(editor, nullptr) << "editing started";
  editor->setText(QStringLiteral("http://elsewhere.example/"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(label(k.link), "http://h.example/dir/a.html");
  EXPECT_EQ(window->model().indexOf(k.link).data().toString(), "http://h.example/dir/a.html");
}

// Download saves the item's label as an address into the chosen file, as
// the command line's download does; failures are shown and leave no file.
TEST_F(TreeCommandsTest, DownloadStoresTheLabelsAddress) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += "line " + std::to_string(i) + "\n";
  server.serve("/file.txt", body);
  server.serve("/missing.html", tarnwick::test::Page::html("gone", 404));
  server.serve("/cut.html", tarnwick::test::Page::faulty(Fault::ResetMidBody, body, 3000));
  const Item root = window->tree().rootItem();
  auto pageItem = [&](const std::string& path) {
    return window->tree().insert(root, server.base() + path, NodeKind::Page);
  };
  const Item file = pageItem("/file.txt");
  const Item missing = pageItem("/missing.html");
  const Item cut = pageItem("/cut.html");

  prompts.saveFile = QString::fromStdString((dir.path() / "got.txt").string());
  command(file, QStringLiteral("Download"));
  EXPECT_EQ(prompts.chooserTitles.back(), "Choose file and location to save");
  EXPECT_EQ(prompts.proposedPaths.back().toStdString(),
            proposedDownloadPath(dir.path().string(), server.base() + "/file.txt"));
  EXPECT_EQ(fs::path(prompts.proposedPaths.back().toStdString()).parent_path(), dir.path());
  EXPECT_TRUE(prompts.asked.empty());
  const auto cli = runCli({"download", server.base() + "/file.txt", "-o",
                           (dir.path() / "cli.txt").string()});
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  EXPECT_EQ(readFile(dir.path() / "got.txt"), readFile(dir.path() / "cli.txt"));
  EXPECT_EQ(window->progressBar().value(), 0);

  struct Failure {
    Item item;
    fs::path target;
    bool message;
  };
  // The same download as "Download one page": an error status is told too.
  for (const Failure& f : {Failure{missing, dir.path() / "missing.html", true},
                           Failure{cut, dir.path() / "cut.html", true},
                           Failure{file, dir.path() / "no/such/folder/file.txt", true}}) {
    SCOPED_TRACE(f.target.string());
    prompts.asked.clear();
    prompts.saveFile = QString::fromStdString(f.target.string());
    command(f.item, QStringLiteral("Download"));
    EXPECT_EQ(prompts.asked.size(), f.message ? 1u : 0u);
    EXPECT_FALSE(fs::exists(f.target));
  }

  // Cancelled chooser: nothing fetched, nothing written.
  prompts.saveFile.clear();
  const std::size_t requests = server.requestCount("/file.txt");
  command(file, QStringLiteral("Download"));
  EXPECT_EQ(server.requestCount("/file.txt"), requests);
}

// A label that is no address still offers the chooser, with the folder and
// no name; its download then fails with a message.
TEST_F(TreeCommandsTest, DownloadOfAKeywordEntryFailsWithAMessage) {
  const KnownTree k = build();
  prompts.saveFile = QString::fromStdString((dir.path() / "kw.txt").string());
  command(k.keyword, QStringLiteral("Download"));
  EXPECT_EQ(prompts.proposedPaths.back().toStdString(), dir.path().string() + "/");
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_FALSE(fs::exists(dir.path() / "kw.txt"));
}

}  // namespace
}  // namespace tarnwick::gui::test
