#include <algorithm>
#include <cstdio>
#include <memory>

#include "fetch/crawl_context.h"
#include "fetch/page_reader.h"
#include "net/internet_session.h"
#include "results/output_file.h"
#include "scan/keyword_list.h"
#include "tarnwick/crawl.h"
#include "tarnwick/messages.h"
#include "url/link_filter.h"
#include "url/root_domain.h"

namespace tarnwick {

namespace {

// The current-links file holds the start address of the latest crawl; a
// crawl runs on without it when it cannot be written.
std::unique_ptr<OutputFile> openCurrentLinks(const std::filesystem::path& path,
                                             const std::string& startAddress) {
  if (path.empty()) return nullptr;
  try {
    auto file = std::make_unique<OutputFile>(path);
    file->write(startAddress);
    file->put('\n');
    return file;
  } catch (const FileError&) {
    return nullptr;
  }
}

void closeCurrentLinks(const std::unique_ptr<OutputFile>& file) {
  if (!file) return;
  try {
    file->commit();
  } catch (const FileError&) {
    // as when it could not be opened
  }
}

// Reads queued addresses until the queue is empty or the user stops.
void crawlQueue(InternetSession& session, CrawlContext& crawl, CrawlResult& result) {
  while (!crawl.queue.empty()) {
    const int linksLevel = crawl.queue.frontLevel();
    const Item item = crawl.queue.pop();
    // The user may have deleted the item (or cleared the tree) while events were pumped.
    if (!crawl.tree.contains(item)) continue;
    const std::string address(crawl.tree.label(item));
    crawl.followQueue(address);
    crawl.refreshFilters();
    crawl.beginPage(item, linksLevel);
    const long failedBefore = crawl.failedAddresses;
    const std::int64_t n = readPage(session, crawl, item, address);
    if (result.addressesRead == 0) result.startFailed = crawl.failedAddresses > failedBefore;
    ++result.addressesRead;
    crawl.bytes += n;
    ++crawl.pages;
    crawl.showStatus();
    if (crawl.host.stopRequested()) {
      result.stopped = true;
      break;
    }
  }
}

}  // namespace

CrawlResult runCrawl(ResultsTree& tree, Item rootItem, const FetchOptions& options, Host& host,
                     const CrawlSettings& settings) {
  CrawlResult result;
  host.setSearchState(SearchState::Running);
  CrawlContext crawl(tree, host, options);
  crawl.inserter.keywords = makeKeywords(splitKeywords(options.keywords));
  crawl.inserter.matchCase = options.matchCase;

  SessionOptions sessionOptions;
  sessionOptions.connectTimeoutLength = settings.connectTimeout;
  sessionOptions.stallTimeout = settings.stallTimeout;
  sessionOptions.maxTime = settings.maxTime;
  sessionOptions.parallel = std::clamp(options.parallelConnections, kMinParallelConnections,
                                       kMaxParallelConnections);
  sessionOptions.requestDelay = settings.requestDelay;
  const auto session = InternetSession::open(host, sessionOptions);
  if (!session) {
    host.showMessage(messages::kNoConnection);
    host.setSearchState(SearchState::Idle);
    return result;
  }
  result.connected = true;
  crawl.session = session.get();

  auto currentLinks = openCurrentLinks(settings.currentLinksPath, options.startAddress);
  crawl.volumeQuestionArmed = true;
  crawl.showStatus();
  crawl.filter.rootDomain = rootDomainOf(options.startAddress);
  crawl.findWebLinks = options.findWebLinks;
  crawl.findImages = options.findImages;

  if (!tree.contains(rootItem))
    rootItem = tree.contains(tree.rootItem()) ? tree.rootItem() : tree.clearResults();
  result.startItem = tree.insert(rootItem, options.startAddress, NodeKind::Page);
  crawl.showStatus();
  crawl.pages = 1;
  crawl.showStatus();
  crawl.queue.clear();
  crawl.queue.push(result.startItem, options.startAddress, linkLevel(tree, result.startItem));

  crawlQueue(*session, crawl, result);

  if (tree.contains(rootItem)) host.expandItem(rootItem);
  host.setSearchState(SearchState::Idle);
  closeCurrentLinks(currentLinks);
  result.counters = crawl.counters();
  result.failedAddresses = crawl.failedAddresses;
  result.storeFailures = crawl.storeFailures;
  return result;
}

CrawlStatusLines crawlStatusLines(const CrawlCounters& c) {
  char text[160];
  CrawlStatusLines lines;
  std::snprintf(text, sizeof text, "%d level of search. %ld pages are read.", c.level, c.pages);
  lines.levelAndPages = text;
  std::snprintf(text, sizeof text, "%lld bites read", static_cast<long long>(c.bytes));
  lines.bytes = text;
  std::snprintf(text, sizeof text, "%ld key words %ld links %ld images %ld emails found",
                c.keywords, c.webLinks, c.images, c.emails);
  lines.found = text;
  return lines;
}

}  // namespace tarnwick
