#include "url/link_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "url/root_domain.h"

namespace tarnwick {
namespace {

// A crawl's tree: root item, start page, its "Web links" category and entries.
class LinkFilterTest : public ::testing::Test {
 protected:
  // A web-link entry found on the page of `page`, under its own category.
  Item found(Item page, const std::string& address) {
    return tree.insert(tree.insert(page, "Web links", NodeKind::WebLinksCategory), address,
                       NodeKind::WebLinkEntry);
  }

  bool offer(Item item) { return enqueueLink(tree, item, queue, options, currentPage, level); }

  ResultsTree tree;
  Item root = tree.clearResults();
  Item start = tree.insert(root, "http://www.example.com/", NodeKind::Page);
  PageQueue queue;
  LinkFilterOptions options;
  AddressParts currentPage;
  int level = -7;
};

TEST_F(LinkFilterTest, LevelCountsWebLinkEntriesAbove) {
  const Item first = found(start, "http://www.example.com/a.htm");
  const Item second = found(first, "http://www.example.com/b.htm");
  const Item third = found(second, "http://www.example.com/c.htm");
  EXPECT_EQ(linkLevel(tree, first), 0);
  EXPECT_EQ(linkLevel(tree, second), 1);
  EXPECT_EQ(linkLevel(tree, third), 2);
  EXPECT_EQ(linkLevel(tree, start), 0);
  EXPECT_EQ(linkLevel(tree, root), 0);
}

TEST_F(LinkFilterTest, LevelWalkStopsAfterAThousandSteps) {
  Item item = tree.insert(tree.insert(start, "Web links", NodeKind::WebLinksCategory), "l0",
                          NodeKind::WebLinkEntry);
  for (int i = 1; i < 1500; ++i)
    item = tree.insert(item, std::to_string(i), NodeKind::WebLinkEntry);
  EXPECT_EQ(linkLevel(tree, item), 1000);
}

TEST_F(LinkFilterTest, LevelZeroQueuesNothing) {
  options.levels = 0;
  EXPECT_FALSE(offer(found(start, "http://www.example.com/a.htm")));
  EXPECT_EQ(level, 0);
  EXPECT_TRUE(queue.empty());
}

TEST_F(LinkFilterTest, LevelOneQueuesTheStartPagesLinksOnly) {
  options.levels = 1;
  const Item first = found(start, "http://www.example.com/a.htm");
  EXPECT_TRUE(offer(first));
  EXPECT_EQ(level, 0);
  EXPECT_FALSE(offer(found(first, "http://www.example.com/b.htm")));
  EXPECT_EQ(level, 1);
  EXPECT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue.pop(), first);
}

TEST_F(LinkFilterTest, AnAddressWaitingAlreadyIsQueuedOnce) {
  options.levels = 5;
  const Item other = tree.insert(root, "http://www.example.com/other.htm", NodeKind::Page);
  const Item first = found(start, "http://www.example.com/a.htm");
  const Item deeper =
      found(found(other, "http://www.example.com/x.htm"), "http://www.example.com/a.htm");
  EXPECT_TRUE(offer(first));
  level = -7;
  EXPECT_FALSE(offer(deeper));
  EXPECT_EQ(level, -7) << "the waiting test comes before the level is taken";
  EXPECT_EQ(queue.pop(), first);
  EXPECT_TRUE(offer(deeper)) << "once read, the address may be queued again";
  EXPECT_EQ(level, 1);
}

TEST_F(LinkFilterTest, RootDomainFilter) {
  options.levels = 3;
  options.onlyRootDomain = true;
  options.rootDomain = rootDomainOf("http://example.com/index.htm");
  EXPECT_TRUE(offer(found(start, "http://www.example.com/in.htm")));
  EXPECT_FALSE(offer(found(start, "http://other.net/out.htm")));
  EXPECT_TRUE(offer(found(start, "HTTP://other.net/")));
  options.onlyRootDomain = false;
  EXPECT_TRUE(offer(found(start, "http://other.net/out.htm")));
  EXPECT_EQ(queue.size(), 3u);
}

TEST_F(LinkFilterTest, ParentDomainFilterUsesThePageBeingRead) {
  options.levels = 3;
  options.onlyParentDomain = true;
  ASSERT_TRUE(splitAddress("http://www.example.com/a/index.htm", currentPage));
  EXPECT_TRUE(offer(found(start, "http://www.example.com/a/b.htm")));
  EXPECT_FALSE(offer(found(start, "http://www.example.com/c.htm")));
  EXPECT_FALSE(offer(found(start, "https://www.example.com/a/b.htm")));
  ASSERT_TRUE(splitAddress("http://www.example.com/", currentPage));
  EXPECT_TRUE(offer(found(start, "http://www.example.com/c.htm")));
  currentPage = AddressParts{};
  EXPECT_TRUE(offer(found(start, "http://elsewhere.org/")));
  EXPECT_EQ(queue.size(), 3u);
}

}  // namespace
}  // namespace tarnwick
