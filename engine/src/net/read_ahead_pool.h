#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/session_core.h"
#include "net/transfer.h"

namespace tarnwick {

// The addresses a session's reader will open next, in their order, each
// with its request once one could be sent: at most `parallel` requests are
// under way at once (the one being read among them), at most `perHost` to
// one host, the earlier addresses first. With `parallel` 1 nothing is
// listed: every address is requested when it is opened.
class ReadAheadPool {
 public:
  explicit ReadAheadPool(SessionCore& core);
  ~ReadAheadPool();
  ReadAheadPool(const ReadAheadPool&) = delete;
  ReadAheadPool& operator=(const ReadAheadPool&) = delete;

  // Replaces the list: transfers of addresses still listed are kept, the
  // others end. Requests are started for what the limits allow.
  void want(const std::vector<std::string_view>& addresses);
  // Takes the transfer of a listed address out of the list; null when its
  // request was not started (or the address is not listed).
  std::unique_ptr<Transfer> take(std::string_view address);
  // Starts the requests the limits now allow; true when any was started.
  bool startWhatFits();

  // The bytes received ahead of their reader and not yet handed to it.
  std::size_t bytesHeld() const;
  // How many addresses are listed at most: `parallel`, or 0 when it is 1.
  std::size_t room() const;

 private:
  struct Wanted {
    std::string address;
    std::string host;
    std::unique_ptr<Transfer> transfer;
    bool refused = false;  // openUrl will tell why, when the address is opened
  };

  bool mayStart(const std::string& host) const;

  SessionCore& core_;
  std::vector<Wanted> wanted_;
  std::vector<Wanted> scratch_;
};

}  // namespace tarnwick
