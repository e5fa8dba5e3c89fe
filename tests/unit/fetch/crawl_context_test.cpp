#include "fetch/crawl_context.h"

#include <gtest/gtest.h>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

// An address whose waiting item the user deleted is queued again when it is
// found once more, and the deleted item is never handed out.
TEST(CrawlContext, DeletedWaitingItemsDoNotBlockTheirAddress) {
  ResultsTree tree;
  test::FakeHost host;
  FetchOptions options;
  options.levels = 2;
  CrawlContext crawl(tree, host, options);
  crawl.refreshFilters();
  const Item page = tree.insert(tree.clearResults(), "http://h/", NodeKind::Page);
  const Item links = tree.insert(page, "Web links", NodeKind::WebLinksCategory);
  const Item first = tree.insert(links, "http://h/a.htm", NodeKind::WebLinkEntry);
  crawl.linkInserted(first);
  const Item twin = tree.insert(links, "http://h/a.htm", NodeKind::WebLinkEntry);
  crawl.linkInserted(twin);
  ASSERT_EQ(crawl.queue.size(), 1u) << "the same address waits once";

  tree.remove(first);
  const Item again = tree.insert(links, "http://h/a.htm", NodeKind::WebLinkEntry);
  crawl.linkInserted(again);
  EXPECT_EQ(crawl.queue.size(), 1u);
  EXPECT_EQ(crawl.queue.pop(), again);
}

}  // namespace
}  // namespace tarnwick
