#include "fetch/page_reader.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "fetch/local_file_name.h"
#include "results/output_file.h"
#include "scan/text_window.h"
#include "tarnwick/messages.h"
#include "url/address_parts.h"
#include "url/file_address.h"

namespace tarnwick {

namespace {

constexpr std::size_t kChunkBytes = 1024;
constexpr int kOverlap = 100;
constexpr double kBytesPerGB = 1e9;

void insertError(CrawlContext& crawl, Item item, const char* text) {
  ++crawl.failedAddresses;
  if (crawl.tree.contains(item)) crawl.tree.insert(item, text, NodeKind::ErrorItem);
}

// The one-time volume question. False when the user chose to stop now.
bool volumeAllows(CrawlContext& crawl, std::int64_t length) {
  const double limit = crawl.options.maxDownloadGB * kBytesPerGB;
  if (!crawl.volumeQuestionArmed || static_cast<double>(crawl.bytes + length) <= limit) return true;
  switch (crawl.host.ask(messages::kVolumeQuestion, Buttons::YesNoCancel)) {
    case Answer::Yes:
      return false;
    case Answer::No:
      crawl.volumeQuestionArmed = false;  // no limit for the rest of this crawl
      return true;
    default:
      return true;  // this address only; asked again at the next one over the limit
  }
}

// After a window: the stop question when the stop request is set. True when
// the reading is to end.
bool stopConfirmed(Host& host) {
  if (!host.stopRequested()) return false;
  if (host.ask(messages::kStopQuestion, Buttons::YesNo) == Answer::Yes) {
    host.setSearchState(SearchState::Idle);
    return true;
  }
  host.setSearchState(SearchState::Running);
  return false;
}

}  // namespace

std::string baseAddressOf(std::string_view address, std::string_view startAddress) {
  const auto slash = address.rfind('/');
  const auto dot = address.rfind('.');
  const bool namesFile =
      dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  if (namesFile && address != startAddress && slash != std::string_view::npos)
    return std::string(address.substr(0, slash + 1));
  return std::string(address);
}

std::string storagePath(std::string_view folder, std::string_view address) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += localFileName(address);
  return path;
}

namespace {

// Opens address and learns its length. Null, with an error item under item,
// when it yields no file, fails or is empty.
std::unique_ptr<RemoteFile> openAddress(InternetSession& session, CrawlContext& crawl, Item item,
                                        const std::string& address, std::int64_t& length) {
  try {
    auto file = session.openUrl(address);
    if (!file) {
      insertError(crawl, item, messages::kCannotOpen);
      return nullptr;
    }
    length = file->getLength();
    if (length == 0) {
      insertError(crawl, item, messages::kPageEmpty);
      return nullptr;
    }
    return file;
  } catch (const InternetError& e) {
    crawl.host.showMessage(e.what());
    insertError(crawl, item, messages::kPageNotOpening);
    return nullptr;
  }
}

void reportStoreFailure(CrawlContext& crawl, const std::string& address, const FileError& e) {
  ++crawl.storeFailures;
  crawl.host.showMessage("Can not store " + address + " as " + e.what());
}

// A store that fails ends the storing, not the reading: the partial file is
// removed and the page is still scanned to its end.
void storeChunk(CrawlContext& crawl, std::optional<OutputFile>& stored, std::string_view chunk,
                const std::string& address) {
  if (!stored) return;
  try {
    stored->write(chunk);
  } catch (const FileError& e) {
    stored.reset();
    reportStoreFailure(crawl, address, e);
  }
}

void commitStored(CrawlContext& crawl, std::optional<OutputFile>& stored,
                  const std::string& address) {
  if (!stored) return;
  try {
    stored->commit();
  } catch (const FileError& e) {
    reportStoreFailure(crawl, address, e);
  }
  stored.reset();
}

// A body of unannounced length is held to the volume limit as it arrives:
// the question comes once for it, while armed. False when the user chose to
// stop now.
bool volumeAllowsGrowth(CrawlContext& crawl, std::int64_t total, bool& asked) {
  if (asked || !crawl.volumeQuestionArmed) return true;
  const double limit = crawl.options.maxDownloadGB * kBytesPerGB;
  if (static_cast<double>(crawl.bytes + total) <= limit) return true;
  asked = true;
  if (volumeAllows(crawl, total)) return true;
  crawl.host.setSearchState(SearchState::Idle);
  return false;
}

// Reads the body in chunks, storing each when `stored` is set and scanning a
// page window by window. Returns the bytes read; a broken transfer keeps what
// was read, marks the item and removes the partly stored file.
std::int64_t readBody(RemoteFile& file, std::int64_t length, bool isPage, CrawlContext& crawl,
                      Item item, const std::string& address, std::optional<OutputFile>& stored) {
  Host& host = crawl.host;
  const std::string base = baseAddressOf(address, crawl.options.startAddress);
  const ScanSelection selection{crawl.findWebLinks, crawl.findImages, crawl.options.findEmails,
                                crawl.options.findKeywords};
  // A page's read gives way to the stop request; a file is read whole.
  std::function<bool()> stop;
  if (isPage) stop = [&host] { return host.stopRequested(); };
  const bool watchVolume = stored && !file.lengthAnnounced();
  bool volumeAsked = false;
  TextWindowReader windows(kOverlap);
  char buffer[kChunkBytes];
  std::int64_t total = 0;
  bool stopped = false;
  try {
    for (;;) {
      const std::size_t n = file.read(buffer, kChunkBytes, stop);
      if (n == 0 && !file.interrupted()) break;
      host.pumpEvents();
      crawl.afterPump();
      const std::string_view chunk(buffer, n);
      storeChunk(crawl, stored, chunk, address);
      total += static_cast<std::int64_t>(n);
      if (watchVolume && !volumeAllowsGrowth(crawl, total, volumeAsked)) {
        stopped = true;
        break;
      }
      if (!isPage) continue;  // a file is stored whole, never scanned
      if (n > 0) {
        host.setProgress(static_cast<int>(std::min<std::int64_t>(100, total * 100 / length)));
        crawl.inserter.scanCrawl(windows.next(chunk), selection, kOverlap, base, crawl);
      }
      if (stopConfirmed(host)) {
        stopped = true;
        break;
      }
    }
    // A page cut short by the user is not kept as if it were whole.
    if (!stopped) commitStored(crawl, stored, address);
  } catch (const InternetError& e) {
    host.showMessage(e.what());
    insertError(crawl, item, messages::kPageNotOpening);
  }
  stored.reset();  // removes a file that was not committed
  return total;
}

}  // namespace

std::int64_t readPage(InternetSession& session, CrawlContext& crawl, Item item,
                      const std::string& address) {
  const FetchOptions& options = crawl.options;
  Host& host = crawl.host;
  splitAddress(address, crawl.inserter.parts);
  const bool isPage = !isFileAddress(address);
  const bool download = options.downloadFiles;
  if (!isPage && !download) return 0;

  std::int64_t length = 0;
  const std::unique_ptr<RemoteFile> file = openAddress(session, crawl, item, address, length);
  if (!file) return 0;

  std::optional<OutputFile> stored;
  if (download) {
    // An unannounced length is only what had arrived by now, which depends on
    // the network's timing: such a body is held to the limit as it is read.
    if (file->lengthAnnounced() && !volumeAllows(crawl, length)) {
      host.setSearchState(SearchState::Idle);
      host.setProgress(0);
      return 0;
    }
    try {
      stored.emplace(storagePath(options.downloadFolder, address), Placement::StoredFile);
    } catch (const FileError& e) {
      // As with a write that fails later: a page is still scanned, so its
      // links reach the tree; a file is read only to be stored.
      reportStoreFailure(crawl, address, e);
      if (!isPage) return 0;
    }
  }

  host.setCurrentAddress(address);
  host.setProgress(0);
  crawl.inserter.beginSource(item);
  const std::int64_t total = readBody(*file, length, isPage, crawl, item, address, stored);
  host.setProgress(0);
  return total;
}

}  // namespace tarnwick
