#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QTimer>

#include "desktop_fixture.h"
#include "results_model.h"
#include "start_request.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick::gui::test {
namespace {

namespace fs = std::filesystem;
using tarnwick::test::Page;

// The dump without the first item labelled `label` and everything under it.
std::string withoutBranch(const std::string& dump, const std::string& label) {
  std::istringstream in(dump);
  std::string out, line;
  std::size_t cutDepth = std::string::npos;
  bool cut = false;
  while (std::getline(in, line)) {
    const std::size_t depth = line.find_first_not_of(' ');
    if (cutDepth != std::string::npos) {
      if (depth > cutDepth) continue;
      cutDepth = std::string::npos;
    }
    if (!cut && line.substr(depth + 2) == label) {
      cut = true;
      cutDepth = depth;
      continue;
    }
    out += line + '\n';
  }
  return out;
}

// What a person does while a search runs, and what must come of it.
enum class Action { Clear, DeleteCurrent, DeleteQueued, SecondStart, CloseWindow };

const char* nameOf(Action action) {
  switch (action) {
    case Action::Clear: return "Clear";
    case Action::DeleteCurrent: return "Delete of the current item";
    case Action::DeleteQueued: return "Delete of a queued item";
    case Action::SecondStart: return "a second start request";
    case Action::CloseWindow: return "closing the window";
  }
  return "";
}

class ReentrancyTest : public DesktopTest, public ::testing::WithParamInterface<Action> {
 protected:
  // Runs `act` once, at the first pump of the search after `ready` holds.
  void actWhen(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(window.get());
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, window.get(), [this, timer, ready, act] {
      if (!ready()) return;
      timer->stop();
      acted = true;
      act();
    });
    timer->start();
  }
  bool acted = false;

  // The "Web links" entries of the start page, and which of them were read.
  std::vector<Item> startPageLinks() {
    const ResultsTree& t = window->tree();
    std::vector<Item> links;
    const Item page = t.firstChild(t.rootItem());
    if (!page) return links;
    for (Item category = t.firstChild(page); category; category = t.nextSibling(category))
      if (t.kind(category) == NodeKind::WebLinksCategory)
        for (Item link = t.firstChild(category); link; link = t.nextSibling(link))
          links.push_back(link);
    return links;
  }

  // A start page with ten links to pages that arrive slowly, in pieces.
  void serveSlowSite() {
    std::string start;
    for (int i = 0; i < 10; ++i) start += "<a href=\"p" + std::to_string(i) + ".html\">p</a>\n";
    server.serve("/", Page::chunked(start, 64, std::chrono::milliseconds(1)));
    std::string body;
    for (int i = 0; i < 20; ++i) body += "a line with the key word " + std::to_string(i) + "\n";
    for (int i = 0; i < 10; ++i) {
      Page page = Page::chunked(body, 128, std::chrono::milliseconds(1));
      // The last answer comes late, so the crawl still runs when what was done
      // during it is handled, however many pages were fetched ahead.
      if (i == 9) page.responseDelay = std::chrono::milliseconds(400);
      server.serve("/p" + std::to_string(i) + ".html", page);
    }
  }

  // Many files of many windows each.
  fs::path writeFolder() {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "key http://site.example/" + std::to_string(i) + "\n";
    text += std::string(300000, ' ');  // several windows of nothing
    for (int i = 0; i < 30; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "docs/f%02d.txt", i);
      dir.write(name, text);
    }
    return dir.path() / "docs";
  }
};

class WhileACrawlRuns : public ReentrancyTest {};
class WhileALocalSearchRuns : public ReentrancyTest {};

TEST_P(WhileACrawlRuns, EndsAsItShould) {
  const Action action = GetParam();
  serveSlowSite();
  FetchDialog* fetch = openFetch();
  fillFetch(fetch, server.base() + "/", 1);
  QAbstractItemModelTester tester(&window->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  std::string removed;  // label of the deleted branch
  // Ready once the first followed page is being read: the queue holds the rest.
  const auto reading = [this] {
    const auto links = startPageLinks();
    return links.size() == 10 && window->tree().hasChildren(links[0]);
  };
  actWhen(reading, [&] {
    const ResultsTree& t = window->tree();
    std::vector<Item> links = startPageLinks();
    switch (action) {
      case Action::Clear: window->clearResults(); break;
      case Action::DeleteCurrent: {
        Item current = links[0];
        for (Item link : links)
          if (t.hasChildren(link)) current = link;
        removed = t.label(current);
        window->tree().remove(current);
        break;
      }
      case Action::DeleteQueued:
        EXPECT_FALSE(t.hasChildren(links[9])) << "still waiting in the queue";
        removed = t.label(links[9]);
        window->tree().remove(links[9]);
        break;
      case Action::SecondStart:
        child<QPushButton>(fetch, "goButton")->setEnabled(true);
        child<QPushButton>(fetch, "goButton")->click();
        QCoreApplication::postEvent(window.get(), new StartRequestEvent);
        break;
      case Action::CloseWindow: window->close(); break;
    }
  });
  child<QPushButton>(fetch, "goButton")->click();
  handleRequests();
  QCoreApplication::sendPostedEvents();
  ASSERT_FALSE(window->searchRunning());
  ASSERT_TRUE(acted) << "the crawl ended before the action";
  const std::string tree = dumpTree(window->tree());
  const std::string whole = cliCrawlTree(server.base() + "/", 1);
  switch (action) {
    case Action::Clear:
      EXPECT_EQ(tree, "7  - \n") << "nothing of the crawl comes back after Clear";
      // And the window crawls as before.
      child<QPushButton>(fetch, "goButton")->click();
      handleRequests();
      EXPECT_EQ(dumpTree(window->tree()), whole);
      break;
    case Action::DeleteCurrent:
    case Action::DeleteQueued:
      EXPECT_EQ(tree, withoutBranch(whole, removed));
      EXPECT_NE(tree, whole);
      break;
    case Action::SecondStart:
      EXPECT_EQ(tree, whole);
      EXPECT_EQ(server.requestCount("/"), 2u) << "one crawl here, one by the command line";
      break;
    case Action::CloseWindow:
      EXPECT_FALSE(window->isVisible()) << "closed once the crawl stopped";
      EXPECT_TRUE(prompts.asked.empty()) << "the stop question is answered for the person";
      EXPECT_TRUE(fs::exists(settingsPath()));
      break;
  }
}

TEST_P(WhileALocalSearchRuns, EndsAsItShould) {
  const Action action = GetParam();
  const fs::path docs = writeFolder();
  LocalDialog* local = openLocal();
  prompts.fileOrFolder = 1;
  prompts.folder = QString::fromStdString(docs.string());
  child<QPushButton>(local, "browseButton")->click();
  child<QPushButton>(local, "webLinksButton")->click();
  child<QLineEdit>(local, "keywordsEdit")->setText(QStringLiteral("key"));
  QAbstractItemModelTester tester(&window->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  std::string removed;
  const auto started = [this] { return window->tree().childCount(window->tree().rootItem()) >= 2; };
  actWhen(started, [&] {
    ResultsTree& t = window->tree();
    switch (action) {
      case Action::Clear: window->clearResults(); break;
      case Action::DeleteCurrent: {
        const Item current = t.child(t.rootItem(), t.childCount(t.rootItem()) - 1);
        removed = t.label(current);
        t.remove(current);
        break;
      }
      case Action::SecondStart:
        child<QPushButton>(local, "findButton")->setEnabled(true);
        child<QPushButton>(local, "findButton")->click();
        QCoreApplication::postEvent(window.get(), new StartRequestEvent);
        break;
      case Action::CloseWindow: window->close(); break;
      case Action::DeleteQueued: break;
    }
  });
  child<QPushButton>(local, "findButton")->click();
  handleRequests();
  QCoreApplication::sendPostedEvents();
  ASSERT_FALSE(window->searchRunning());
  ASSERT_TRUE(acted) << "the search ended before the action";
  const auto cli = runCli({"local", docs.string(), "--find", "links,keywords", "--keywords", "key",
                           "--match-case", "--tree", "-"});
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  const std::string tree = dumpTree(window->tree());
  switch (action) {
    case Action::Clear:
      EXPECT_EQ(tree, "7  - \n");
      break;
    case Action::DeleteCurrent:
      EXPECT_EQ(tree, withoutBranch(cli.out, removed));
      EXPECT_NE(tree, cli.out);
      break;
    case Action::SecondStart: EXPECT_EQ(tree, cli.out); break;
    case Action::CloseWindow:
      EXPECT_FALSE(window->isVisible());
      EXPECT_TRUE(fs::exists(settingsPath()));
      break;
    case Action::DeleteQueued: break;
  }
}

std::string testName(const ::testing::TestParamInfo<Action>& info) {
  std::string name = nameOf(info.param);
  std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  return name;
}

INSTANTIATE_TEST_SUITE_P(Actions, WhileACrawlRuns,
                         ::testing::Values(Action::Clear, Action::DeleteCurrent,
                                           Action::DeleteQueued, Action::SecondStart,
                                           Action::CloseWindow),
                         testName);
// A local search holds no queue of items.
INSTANTIATE_TEST_SUITE_P(Actions, WhileALocalSearchRuns,
                         ::testing::Values(Action::Clear, Action::DeleteCurrent,
                                           Action::SecondStart, Action::CloseWindow),
                         testName);

}  // namespace
}  // namespace tarnwick::gui::test
