#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/host.h"

namespace tarnwick {

// How the download of one address ended.
enum class DownloadStatus {
  Stored,         // the target holds the whole body
  NoFile,         // the server answered with a status of 400 or more
  NothingToRead,  // the body was empty
  CannotWrite,    // the target could not be created, written or put in place
  NetworkError,   // the address could not be reached or the transfer broke off
  Stopped,        // the front end asked to stop before the whole body arrived
};

// Either way the target never holds part of a body: it is written under a
// temporary name and only renamed into place once complete.
struct DownloadOutcome {
  std::string address;
  std::filesystem::path target;
  DownloadStatus status = DownloadStatus::Stored;
  std::int64_t bytes = 0;  // stored (0 unless Stored)
  std::string reason;      // the system's or the network's text, when there is one
  bool stored() const { return status == DownloadStatus::Stored; }
};

// Told once per block read, after the host's pump.
struct TransferProgress {
  std::size_t index = 0;  // of the address in its batch, from 0
  std::size_t count = 1;  // addresses in the batch
  std::string_view address;
  std::int64_t bytes = 0;   // of this address so far
  std::int64_t length = 0;  // what the server announced (or had ready at the start)
};

// Optional hooks of a front end: progress, and a stop request polled while a
// block is waited for and between addresses (the desktop has no Stop control for downloads
// and passes none).
struct DownloadObserver {
  std::function<void(const TransferProgress&)> progress;
  std::function<bool()> stopRequested;
};

// How long a download waits. Unset connect: the tool's own default (on for
// one page, off for a list of links).
struct DownloadTimeouts {
  std::optional<std::chrono::milliseconds> connect;
  // A connected address that sends nothing for this long fails.
  std::chrono::milliseconds stall{120000};
  // An address whose body has not ended this long after it opened fails; 0: no limit.
  std::chrono::milliseconds maxTime{0};
};

// The path proposed for the download of address: directory, a "/" when it
// does not end with one, and the address's local file name. A bare name for
// an empty directory.
std::string proposedDownloadPath(std::string_view directory, std::string_view address);

// The tree's Download command and "Download one page", after the file was
// chosen: opens an Internet session (connect time-out on), downloads address
// into target in blocks of 1024 bytes with one pump per block, closes
// everything. Shows the no-connection text, a network error's text, or why
// the target cannot be written; stays silent for an error status or an empty
// body. The progress bar is reset before and after.
DownloadOutcome downloadAddress(Host& host, std::string_view address,
                                const std::filesystem::path& target,
                                const DownloadObserver& observer = {},
                                const DownloadTimeouts& timeouts = {});

// The addresses of a list file: read in pieces of at most 499 bytes; a piece
// counts when it begins with "http://" (after trailing spaces are cut); its
// line end, then trailing double quotes, then trailing single quotes are cut.
std::vector<std::string> readLinkList(std::istream& in);

struct LinkListFile {
  enum class Status { Read, CannotOpen, NoLinks } status = Status::Read;
  std::vector<std::string> links;
  std::string reason;  // why the file could not be opened
};

// Reads the list file at path. Shows the no-links text when it holds no
// address; a file that cannot be opened is not shown (status CannotOpen).
LinkListFile loadLinkList(Host& host, const std::filesystem::path& path);

struct LinkListDownload {
  bool connected = true;  // false: no session could be opened (the text was shown)
  std::vector<DownloadOutcome> outcomes;  // one per address tried, in list order
  std::size_t storedCount() const;
};

// Downloads every address, in order, into folder under its local file name
// over one session (no connect time-out unless timeouts set one). A failing
// address is reported (network errors and targets that cannot be written
// with their text, error statuses and empty bodies silently) and the batch
// goes on. A name already in folder is replaced, never written through.
LinkListDownload downloadLinks(Host& host, const std::vector<std::string>& links,
                               const std::filesystem::path& folder,
                               const DownloadObserver& observer = {},
                               const DownloadTimeouts& timeouts = {});

// The check of "Download" in the one-page dialog: the address holds
// "http://" somewhere.
bool downloadAddressAccepted(std::string_view address);

// One message for a batch: how many of its addresses were not stored, then
// each of them (at most `listed`, the rest counted) with why. Empty when
// every address was stored.
std::string downloadFailureSummary(const std::vector<DownloadOutcome>& outcomes,
                                   std::size_t listed = 20);

}  // namespace tarnwick
