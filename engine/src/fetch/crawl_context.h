#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fetch/page_queue.h"
#include "net/internet_session.h"
#include "scan/result_inserter.h"
#include "tarnwick/host.h"
#include "tarnwick/options.h"
#include "tarnwick/results_tree.h"
#include "url/link_filter.h"

namespace tarnwick {

// What one crawl holds while it runs. It is the crawl's link hook: every
// web-link entry the scan inserts is offered to the page queue.
class CrawlContext : public LinkSink {
 public:
  CrawlContext(ResultsTree& tree, Host& host, const FetchOptions& options);

  InternetSession* session = nullptr;
  ResultsTree& tree;
  Host& host;
  const FetchOptions& options;
  ResultInserter inserter;
  PageQueue queue;
  LinkFilterOptions filter;
  // Taken once at the start of the crawl.
  bool findWebLinks = false;
  bool findImages = false;

  int currentLevel = 0;
  long pages = 0;
  std::int64_t bytes = 0;
  bool volumeQuestionArmed = true;
  // Addresses that got an error item, and stores that failed.
  long failedAddresses = 0;
  long storeFailures = 0;

  // Takes the options that are read whenever they are used.
  void refreshFilters();
  CrawlCounters counters() const;
  void showStatus() { host.showCrawlStatus(counters()); }
  // Tells the session the addresses that will be read next: `reading` (the
  // address about to be opened, when given) and the first waiting ones, so
  // that they are fetched ahead. Files are left out unless they are stored.
  void followQueue(std::string_view reading = {});
  // After events were pumped: items the user deleted leave the queue and the
  // read-ahead.
  void afterPump();

  void linkInserted(Item entry) override;
  // The page about to be read and the level of the links found on it.
  void beginPage(Item page, int linksLevel) {
    page_ = page;
    pageLinksLevel_ = linksLevel;
  }

 private:
  // The level of an entry: known without a walk when it is on the page being read.
  int levelOf(Item entry) const;
  // Drops the waiting items the tree no longer holds; true when it did.
  bool noticeRemovals();
  bool willRead(std::string_view address) const;

  Item page_;
  int pageLinksLevel_ = 0;
  std::uint64_t removalsSeen_ = 0;
  // The last followQueue found as many addresses as the session takes.
  bool aheadFull_ = false;
  std::vector<std::string_view> nextScratch_;
};

}  // namespace tarnwick
