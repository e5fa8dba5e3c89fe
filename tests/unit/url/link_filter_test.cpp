#include "url/link_filter.h"

#include <gtest/gtest.h>

#include "url/root_domain.h"

namespace tarnwick {
namespace {

// A crawl's tree: the root item and the start page; found links go under a
// "Web links" category of the page they were found on.
class LinkFilterTest : public ::testing::Test {
 protected:
  Item found(Item page, const char* address) {
    return tree.insert(tree.insert(page, "Web links", NodeKind::WebLinksCategory), address,
                       NodeKind::WebLinkEntry);
  }
  Item page(const char* address) { return tree.insert(root, address, NodeKind::Page); }
  bool offer(Item item) { return enqueueLink(tree, item, queue, options, currentPage, level); }

  ResultsTree tree;
  Item root = tree.clearResults();
  Item start = page("http://www.example.com/");
  PageQueue queue;
  LinkFilterOptions options;
  AddressParts currentPage;
  int level = -7;
};

TEST_F(LinkFilterTest, LevelCountsEveryWebLinkEntryAboveUpToTheTop) {
  const Item first = found(start, "http://www.example.com/a.htm");
  Item deep = found(first, "http://www.example.com/b.htm");
  EXPECT_EQ(linkLevel(tree, start), 0);
  EXPECT_EQ(linkLevel(tree, first), 0);
  EXPECT_EQ(linkLevel(tree, deep), 1);
  for (int i = 0; i < 1500; ++i) deep = tree.insert(deep, "d", NodeKind::WebLinkEntry);
  EXPECT_EQ(linkLevel(tree, deep), 1501);
  for (int i = 0; i < 100000; ++i) deep = found(deep, "http://www.example.com/c.htm");
  EXPECT_EQ(linkLevel(tree, deep), 101501);
}

TEST_F(LinkFilterTest, BrowsingLevelLimitsWhatIsQueued) {
  const Item first = found(start, "http://www.example.com/a.htm");
  EXPECT_FALSE(offer(first)) << "level 0 follows no link";
  EXPECT_EQ(level, 0);
  options.levels = 1;
  EXPECT_TRUE(offer(first));
  EXPECT_FALSE(offer(found(first, "http://www.example.com/b.htm")));
  EXPECT_EQ(level, 1);
  EXPECT_EQ(queue.size(), 1u);
}

TEST_F(LinkFilterTest, AnAddressWaitingAlreadyIsQueuedOnce) {
  options.levels = 5;
  const Item first = found(start, "http://www.example.com/a.htm");
  const Item again =
      found(found(page("http://www.example.com/o.htm"), "http://www.example.com/x.htm"),
            "http://www.example.com/a.htm");
  EXPECT_TRUE(offer(first));
  level = -7;
  EXPECT_FALSE(offer(again));
  EXPECT_EQ(level, -7) << "the waiting test comes before the level is taken";
  EXPECT_EQ(queue.pop(), first);
  EXPECT_TRUE(offer(again)) << "once read, the address may be queued again";
  EXPECT_EQ(level, 1);
}

TEST_F(LinkFilterTest, DomainFiltersUseTheRootDomainAndThePageBeingRead) {
  const char* const inA = "http://www.example.com/a/index.htm";
  const struct {
    bool onlyRoot, onlyParent;
    const char *pageBeingRead, *link;
    bool queued;
  } cases[] = {
      {true, false, "", "http://www.example.com/in.htm", true},
      {true, false, "", "http://other.net/out.htm", false},
      {true, false, "", "HTTP://other.net/", true},
      {false, false, "", "http://other.net/out.htm", true},
      {false, true, inA, "http://www.example.com/a/b.htm", true},
      {false, true, inA, "http://www.example.com/c.htm", false},
      {false, true, inA, "https://www.example.com/a/b.htm", false},
      {false, true, "http://www.example.com/", "http://www.example.com/c.htm", true},
      {false, true, "", "http://elsewhere.org/", true},  // no folder: every link passes
  };
  options.levels = 3;
  options.rootDomain = rootDomainOf("http://example.com/index.htm");
  for (const auto& c : cases) {
    options.onlyRootDomain = c.onlyRoot;
    options.onlyParentDomain = c.onlyParent;
    currentPage = AddressParts{};
    splitAddress(c.pageBeingRead, currentPage);
    queue.clear();
    EXPECT_EQ(offer(found(start, c.link)), c.queued) << c.link << " read on " << c.pageBeingRead;
  }
}

TEST_F(LinkFilterTest, QueueIsFirstInFirstOutAndKnowsTheWaitingLabels) {
  const Item a = page("http://a/"), b = page("http://b/"), again = page("http://a/");
  for (const Item item : {a, b, again}) queue.push(item, tree.label(item));
  EXPECT_FALSE(queue.containsLabel("http://a") || queue.containsLabel("HTTP://a/"));
  EXPECT_EQ(queue.pop(), a);
  EXPECT_TRUE(queue.containsLabel("http://a/")) << "the second item still waits";
  EXPECT_EQ(queue.pop(), b);
  EXPECT_EQ(queue.pop(), again);
  EXPECT_FALSE(queue.containsLabel("http://a/"));
  EXPECT_TRUE(queue.pop().isNull());
  queue.push(a, "http://a/");
  queue.clear();
  EXPECT_TRUE(queue.empty() && !queue.containsLabel("http://a/"));
}

}  // namespace
}  // namespace tarnwick
