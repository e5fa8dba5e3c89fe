#include "tools/address_download.h"

#include <array>
#include <functional>
#include <optional>

#include "fetch/local_file_name.h"
#include "results/output_file.h"
#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

constexpr std::size_t kBlockBytes = 1024;

std::string cannotWriteText(const FileError& error) {
  return std::string("The downloaded file can not be written: ") + error.what();
}

}  // namespace

bool downloadAddressAccepted(std::string_view address) {
  return address.find("http://") != std::string_view::npos;
}

std::string proposedDownloadPath(std::string_view directory, std::string_view address) {
  std::string path(directory);
  if (!path.empty() && !path.ends_with('/')) path += '/';
  path += localFileName(address);
  return path;
}

SessionOptions sessionOptionsOf(const DownloadTimeouts& timeouts, bool connectByDefault) {
  SessionOptions options;
  options.connectTimeout = timeouts.connect.has_value() || connectByDefault;
  if (timeouts.connect) options.connectTimeoutLength = *timeouts.connect;
  options.stallTimeout = timeouts.stall;
  options.maxTime = timeouts.maxTime;
  return options;
}

namespace {

bool bodyWhole(const RemoteFile& remote, std::int64_t length, std::int64_t bytes) {
  return remote.complete() || (remote.lengthAnnounced() && bytes >= length);
}

}  // namespace

DownloadOutcome downloadToFile(InternetSession& session, Host& host, std::string_view address,
                               const std::filesystem::path& target,
                               const DownloadObserver& observer, std::size_t index,
                               std::size_t count, Placement placement) {
  // Own copy: a pump may let the user remove the tree item the address came from.
  DownloadOutcome outcome{std::string(address), target, DownloadStatus::Stored, 0, {}};
  const auto fail = [&](DownloadStatus status, std::string reason, bool show) {
    if (show) host.showMessage(reason);
    outcome.status = status;
    outcome.reason = std::move(reason);
    return outcome;
  };

  std::optional<OutputFile> out;  // removes its temporary file unless committed
  try {
    const std::unique_ptr<RemoteFile> remote = session.openUrl(outcome.address);
    if (!remote) return fail(DownloadStatus::NoFile, "the server answered with an error status", false);
    const std::int64_t length = remote->getLength();
    if (length == 0) return fail(DownloadStatus::NothingToRead, "the server sent nothing", false);
    try {
      out.emplace(target, placement);
    } catch (const FileError& e) {
      return fail(DownloadStatus::CannotWrite, cannotWriteText(e), true);
    }

    TransferProgress progress{index, count, outcome.address, 0, length};
    std::array<char, kBlockBytes> block;
    const auto stopRequested = [&] { return observer.stopRequested && observer.stopRequested(); };
    const std::function<bool()> stop = stopRequested;
    for (;;) {
      const std::size_t n = remote->read(block.data(), block.size(), stop);
      if (n == 0 && !remote->interrupted()) break;
      if (n > 0) {
        host.pumpEvents();
        out->write({block.data(), n});
        progress.bytes += static_cast<std::int64_t>(n);
        if (observer.progress) observer.progress(progress);
      }
      // A body that arrived whole is kept, however late the stop came.
      if (stopRequested() && !bodyWhole(*remote, length, progress.bytes))
        return fail(DownloadStatus::Stopped, "stopped", false);
    }
    out->commit();
    outcome.bytes = progress.bytes;
  } catch (const InternetError& e) {
    return fail(DownloadStatus::NetworkError, e.what(), true);
  } catch (const FileError& e) {
    return fail(DownloadStatus::CannotWrite, cannotWriteText(e), true);
  }
  return outcome;
}

DownloadOutcome downloadAddress(Host& host, std::string_view address,
                                const std::filesystem::path& target,
                                const DownloadObserver& observer,
                                const DownloadTimeouts& timeouts) {
  const std::string own(address);
  const std::unique_ptr<InternetSession> session =
      InternetSession::open(host, sessionOptionsOf(timeouts, true));
  if (!session) {
    host.showMessage(messages::kNoConnection);
    return DownloadOutcome{own, target, DownloadStatus::NetworkError, 0, messages::kNoConnection};
  }
  host.setProgress(0);
  DownloadOutcome outcome = downloadToFile(*session, host, own, target, observer);
  host.setProgress(0);
  return outcome;
}

}  // namespace tarnwick
