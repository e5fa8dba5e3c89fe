#include "net/read_ahead_pool.h"

#include <algorithm>

namespace tarnwick {

ReadAheadPool::ReadAheadPool(SessionCore& core) : core_(core) {
  core_.setTurnHook([this] { return startWhatFits(); });
}

ReadAheadPool::~ReadAheadPool() { core_.setTurnHook({}); }

std::size_t ReadAheadPool::bytesHeld() const { return core_.aheadBytes(); }

std::size_t ReadAheadPool::room() const {
  const int parallel = core_.options().parallel;
  return parallel > 1 ? static_cast<std::size_t>(parallel) : 0;
}

void ReadAheadPool::want(const std::vector<std::string_view>& addresses) {
  std::vector<Wanted>& next = scratch_;  // kept between calls, so nothing is allocated
  next.clear();
  // Addresses keep their order from one list to the next, so the search for
  // an address goes on from where the last one was found.
  auto from = wanted_.begin();
  for (const std::string_view address : addresses) {
    if (next.size() == room()) break;
    const auto same = [&](const Wanted& w) { return w.address == address; };
    auto kept = std::find_if(from, wanted_.end(), same);
    if (kept == wanted_.end()) kept = std::find_if(wanted_.begin(), from, same);
    if (kept != wanted_.end()) {
      next.push_back(std::move(*kept));
      from = kept + 1;
    } else {
      next.push_back(Wanted{std::string(address), requestHost(address), nullptr});
    }
  }
  wanted_.swap(next);
  next.clear();  // the transfers no longer wanted end here
  if (startWhatFits()) core_.kick();
}

std::unique_ptr<Transfer> ReadAheadPool::take(std::string_view address) {
  const auto found = std::find_if(wanted_.begin(), wanted_.end(),
                                  [&](const Wanted& w) { return w.address == address; });
  if (found == wanted_.end()) return nullptr;
  std::unique_ptr<Transfer> transfer = std::move(found->transfer);
  wanted_.erase(found);
  if (transfer) transfer->becomeRead();
  return transfer;
}

bool ReadAheadPool::mayStart(const std::string& host) const {
  const SessionOptions& options = core_.options();
  return core_.liveRequests() < options.parallel &&
         core_.liveRequestsTo(host) < options.perHost && core_.delayOverFor(host);
}

bool ReadAheadPool::startWhatFits() {
  bool started = false;
  for (Wanted& w : wanted_) {
    if (w.transfer || w.refused) continue;
    if (core_.liveRequests() >= core_.options().parallel) break;
    if (!mayStart(w.host)) continue;
    try {
      w.transfer = std::make_unique<Transfer>(core_, w.address, Transfer::Role::Ahead);
      started = true;
    } catch (const InternetError&) {
      w.refused = true;
    }
  }
  return started;
}

}  // namespace tarnwick
