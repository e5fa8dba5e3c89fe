#include "fetch/page_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

class PageQueueTest : public ::testing::Test {
 protected:
  Item page(const std::string& address) { return tree.insert(root, address, NodeKind::Page); }

  ResultsTree tree;
  Item root = tree.clearResults();
  PageQueue queue;
};

TEST_F(PageQueueTest, FirstInFirstOutAndNullWhenEmpty) {
  const Item a = page("http://a/"), b = page("http://b/"), c = page("http://c/");
  EXPECT_TRUE(queue.empty());
  EXPECT_TRUE(queue.pop().isNull());
  queue.push(a, "http://a/");
  queue.push(b, "http://b/");
  EXPECT_EQ(queue.pop(), a);
  queue.push(c, "http://c/");
  EXPECT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue.pop(), b);
  EXPECT_EQ(queue.pop(), c);
  EXPECT_TRUE(queue.empty());
  EXPECT_TRUE(queue.pop().isNull());
}

TEST_F(PageQueueTest, OnlyWaitingLabelsAreKnown) {
  const Item a = page("http://a/");
  const Item again = page("http://a/");
  queue.push(a, "http://a/");
  queue.push(again, "http://a/");
  EXPECT_TRUE(queue.containsLabel("http://a/"));
  EXPECT_FALSE(queue.containsLabel("http://a"));
  EXPECT_FALSE(queue.containsLabel("HTTP://a/"));
  queue.pop();
  EXPECT_TRUE(queue.containsLabel("http://a/")) << "the second item still waits";
  queue.pop();
  EXPECT_FALSE(queue.containsLabel("http://a/"));
  queue.push(a, "http://a/");
  EXPECT_TRUE(queue.containsLabel("http://a/")) << "a label read before can wait again";
  queue.clear();
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(queue.containsLabel("http://a/"));
}

TEST_F(PageQueueTest, ManyWaitingItemsKeepTheirOrderAndLabels) {
  constexpr int kCount = 100000;
  std::vector<Item> items;
  items.reserve(kCount);
  for (int i = 0; i < kCount; ++i) {
    const std::string address = "http://www.example.com/page" + std::to_string(i) + ".htm";
    items.push_back(page(address));
    queue.push(items.back(), address);
  }
  EXPECT_EQ(queue.size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount / 2; ++i) ASSERT_EQ(queue.pop(), items[i]);
  EXPECT_FALSE(queue.containsLabel("http://www.example.com/page0.htm"));
  EXPECT_FALSE(queue.containsLabel("http://www.example.com/page49999.htm"));
  EXPECT_TRUE(queue.containsLabel("http://www.example.com/page50000.htm"));
  EXPECT_TRUE(queue.containsLabel("http://www.example.com/page99999.htm"));
  EXPECT_FALSE(queue.containsLabel("http://www.example.com/page100000.htm"));
  EXPECT_EQ(queue.pop(), items[kCount / 2]);
}

TEST_F(PageQueueTest, ItemsRemovedFromTheTreeCanBeDropped) {
  const Item a = page("http://a/"), b = page("http://b/"), c = page("http://c/");
  queue.push(a, "http://a/");
  queue.push(b, "http://b/");
  queue.push(c, "http://c/");
  tree.remove(b);
  EXPECT_EQ(queue.dropRemoved(tree), 1u);
  EXPECT_FALSE(queue.containsLabel("http://b/"));
  EXPECT_EQ(queue.pop(), a);
  EXPECT_EQ(queue.pop(), c);

  queue.push(page("http://d/"), "http://d/");
  tree.clearResults();
  EXPECT_EQ(queue.dropRemoved(tree), 1u);
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(queue.containsLabel("http://d/"));
}

}  // namespace
}  // namespace tarnwick
