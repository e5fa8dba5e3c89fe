#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "tarnwick/host.h"
#include "tarnwick/options.h"
#include "tarnwick/results_tree.h"

namespace tarnwick {

// How a crawl reaches the network and where it leaves its traces.
struct CrawlSettings {
  // Rewritten with the start address of every crawl; empty: not written.
  std::filesystem::path currentLinksPath;
  std::chrono::milliseconds connectTimeout{120000};
  // A connected address that sends nothing for this long fails.
  std::chrono::milliseconds stallTimeout{120000};
  // An address whose body has not ended this long after it opened fails; 0: no limit.
  std::chrono::milliseconds maxTime{0};
  // The least time between the starts of two requests to one host.
  std::chrono::milliseconds requestDelay{0};
};

struct CrawlResult {
  // False when no Internet session could be opened (the host was shown
  // messages::kNoConnection and nothing entered the tree).
  bool connected = false;
  // Ended by the stop request rather than by an empty queue.
  bool stopped = false;
  // As last shown: the pages counter counts the start item once more.
  CrawlCounters counters;
  // The start address's item (null when not connected).
  Item startItem;
  // Addresses taken from the queue and read (or skipped as files).
  std::size_t addressesRead = 0;
  // Addresses that got an error item; the start address among them.
  long failedAddresses = 0;
  bool startFailed = false;
  // Addresses whose file could not be stored (each was reported).
  long storeFailures = 0;
};

// The breadth-first crawl from options.startAddress: opens a session, appends
// the start item under rootItem and reads every queued address in turn until
// the queue is empty or the host's stop request is set after an address.
// Results of earlier crawls stay in the tree. Every question, message and
// status line goes through host; the host is put in its running state at the
// start and returned to idle at the end. `options` is read while the crawl
// runs (the front end may change it between pumps): the find switches for
// links and images and the keyword text are taken at the start, the others
// when they are used.
CrawlResult runCrawl(ResultsTree& tree, Item rootItem, const FetchOptions& options, Host& host,
                     const CrawlSettings& settings = {});

// The checks made before a crawl starts: the fixed text of the first one
// the address fails (an empty address, or neither "http://" nor "https://"
// in it), or nullptr when it passes.
const char* startAddressProblem(std::string_view address);

// The three status lines of a running crawl.
struct CrawlStatusLines {
  std::string levelAndPages;  // "%d level of search. %d pages are read."
  std::string bytes;          // "%d bites read"
  std::string found;          // "%d key words %d links %d images %d emails found"
};
CrawlStatusLines crawlStatusLines(const CrawlCounters& counters);

}  // namespace tarnwick
