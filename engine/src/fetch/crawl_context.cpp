#include "fetch/crawl_context.h"

#include "url/file_address.h"

namespace tarnwick {

CrawlContext::CrawlContext(ResultsTree& tree, Host& host, const FetchOptions& options)
    : tree(tree), host(host), options(options), inserter(tree) {}

void CrawlContext::refreshFilters() {
  filter.levels = options.levels;
  filter.onlyRootDomain = options.onlyRootDomain;
  filter.onlyParentDomain = options.onlyParentDomain;
  inserter.onlyRootDomain = options.onlyRootDomain;
  inserter.onlyParentDomain = options.onlyParentDomain;
}

CrawlCounters CrawlContext::counters() const {
  CrawlCounters c;
  c.level = currentLevel;
  c.pages = pages;
  c.bytes = bytes;
  c.keywords = inserter.found.keywords;
  c.webLinks = inserter.found.webLinks;
  c.images = inserter.found.images;
  c.emails = inserter.found.emails;
  return c;
}

void CrawlContext::prefetchNext() {
  const Item next = queue.front();
  if (!session || !tree.contains(next)) return;
  const std::string_view address = tree.label(next);
  if (!options.downloadFiles && isFileAddress(address)) return;
  session->prefetch(address);
}

void CrawlContext::linkInserted(Item entry) {
  // Items the user deleted no longer wait: their addresses may be queued again.
  if (tree.removals() != removalsSeen_) {
    queue.dropRemoved(tree);
    removalsSeen_ = tree.removals();
  }
  // The first link queued while the queue was empty is the next to be read.
  if (enqueueLink(tree, entry, levelOf(entry), queue, filter, inserter.parts, currentLevel) &&
      queue.size() == 1)
    prefetchNext();
}

int CrawlContext::levelOf(Item entry) const {
  const Item category = tree.parent(entry);
  if (!page_.isNull() && !category.isNull() && tree.parent(category) == page_ &&
      tree.kind(category) != NodeKind::WebLinkEntry)
    return pageLinksLevel_;
  return linkLevel(tree, entry);
}

}  // namespace tarnwick
