#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fetch/crawl_context.h"
#include "net/internet_session.h"

namespace tarnwick {

// The address the scanner completes a page's links against: the address
// itself, or, when its last "." lies after its last "/" and it is not the
// start address, the address up to and including its last "/".
std::string baseAddressOf(std::string_view address, std::string_view startAddress);

// The path an address is stored under: the download folder, a "/" when the
// folder does not end with one, and the address's local file name. An empty
// folder stands for the working folder.
std::string storagePath(std::string_view folder, std::string_view address);

// Reads one address of the crawl into the tree under item: opens it, stores it
// when downloading is on, scans a page window by window (overlap 100) and
// offers the links found to the crawl's queue. Failures become error items
// under item; a transfer that breaks after the open keeps what was read in the
// tree and removes the partly stored file. Returns the bytes read.
std::int64_t readPage(InternetSession& session, CrawlContext& crawl, Item item,
                      const std::string& address);

}  // namespace tarnwick
