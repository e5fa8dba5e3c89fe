#include <algorithm>

#include "fetch/local_file_name.h"
#include "tarnwick/messages.h"
#include "tools/address_download.h"

namespace tarnwick {

std::size_t LinkListDownload::storedCount() const {
  return static_cast<std::size_t>(
      std::count_if(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.stored(); }));
}

LinkListDownload downloadLinks(Host& host, const std::vector<std::string>& links,
                               const std::filesystem::path& folder,
                               const DownloadObserver& observer,
                               const DownloadTimeouts& timeouts) {
  LinkListDownload result;
  if (links.empty()) return result;
  const std::unique_ptr<InternetSession> session =
      InternetSession::open(host, sessionOptionsOf(timeouts, false));
  if (!session) {
    host.showMessage(messages::kNoConnection);
    result.connected = false;
    return result;
  }
  result.outcomes.reserve(links.size());
  for (std::size_t i = 0; i < links.size(); ++i) {
    if (observer.stopRequested && observer.stopRequested()) break;
    const std::string& address = links[i];
    const std::string name = localFileName(address);
    const std::filesystem::path target = folder / name;
    if (name.empty() || name.find('\0') != std::string::npos) {
      // No name to store it under: the address is not worth fetching.
      const std::string reason = "No file name can be made for " + address;
      host.showMessage(reason);
      result.outcomes.push_back({address, target, DownloadStatus::CannotWrite, 0, reason});
      continue;
    }
    result.outcomes.push_back(
        downloadToFile(*session, host, address, target, observer, i, links.size(),
                       Placement::StoredFile));
    if (result.outcomes.back().status == DownloadStatus::Stopped) break;
  }
  return result;
}

}  // namespace tarnwick
