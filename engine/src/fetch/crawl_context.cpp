#include "fetch/crawl_context.h"

#include <algorithm>
#include <vector>

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

namespace {

// How far past the front the queue is searched for addresses to fetch
// ahead, per address taken: a long run of files that are not stored ends it.
constexpr std::size_t kSearchPerAddress = 8;

}  // namespace

bool CrawlContext::willRead(std::string_view address) const {
  return options.downloadFiles || !isFileAddress(address);
}

void CrawlContext::followQueue(std::string_view reading) {
  const std::size_t room = session ? session->readAheadRoom() : 0;
  if (room == 0) return;
  std::vector<std::string_view>& next = nextScratch_;  // kept between calls
  next.clear();
  if (!reading.empty() && willRead(reading)) next.push_back(reading);
  // Once `reading` is opened its place goes to the next waiting address.
  const std::size_t headListed = next.size();
  const std::size_t searched = std::min(queue.size(), room * kSearchPerAddress);
  std::size_t i = 0;
  for (; i < searched && next.size() < room; ++i) {
    const bool read = options.downloadFiles || !queue.isFileAt(i);
    if (read && tree.contains(queue.itemAt(i))) next.push_back(queue.labelAt(i));
  }
  aheadFull_ = next.size() - headListed == room || i == room * kSearchPerAddress;
  session->readAhead(next);
}

void CrawlContext::afterPump() {
  if (noticeRemovals()) followQueue();
}

bool CrawlContext::noticeRemovals() {
  if (tree.removals() == removalsSeen_) return false;
  queue.dropRemoved(tree);
  removalsSeen_ = tree.removals();
  return true;
}

void CrawlContext::linkInserted(Item entry) {
  // Items the user deleted no longer wait: their addresses may be queued again.
  const bool removed = noticeRemovals();
  const bool queued =
      enqueueLink(tree, entry, levelOf(entry), queue, filter, inserter.parts, currentLevel);
  if (removed || (queued && !aheadFull_)) followQueue();
}

int CrawlContext::levelOf(Item entry) const {
  const Item category = tree.parent(entry);
  if (!page_.isNull() && !category.isNull() && tree.parent(category) == page_ &&
      tree.kind(category) != NodeKind::WebLinkEntry)
    return pageLinksLevel_;
  return linkLevel(tree, entry);
}

}  // namespace tarnwick
