#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "net/curl_handles.h"
#include "net/internet_session.h"

namespace tarnwick {

// Where a session's requests go, one per step of the opening chain.
enum class ProxyMode { Environment, Direct, NamedProxy };

// What every transfer of one session shares: the multi handle (and with it
// the pool of kept-alive connections), the request headers, the options and
// the host to pump while waiting.
class SessionCore {
 public:
  // Throws InternetError when libcurl cannot give the session.
  SessionCore(Host& host, const SessionOptions& options, ProxyMode mode);

  CURLM* multi() const { return multi_.get(); }
  Host& host() const { return host_; }
  std::chrono::milliseconds stallTimeout() const { return options_.stallTimeout; }
  std::chrono::milliseconds maxTime() const { return options_.maxTime; }

  // An easy handle with the session's options set: a spare one of an ended
  // transfer, or a new one. Null when libcurl cannot give one.
  EasyHandle takeEasy();
  // Takes back the handle of an ended transfer (already out of the multi handle).
  void giveBack(EasyHandle easy);

  // Lets the transfers do what they can without waiting.
  void kick() { perform(); }

  // Runs the session's transfers until done() holds. While it waits for the
  // network it pumps the host at least every 50 ms.
  template <typename Done>
  void runUntil(Done done) {
    perform();
    auto lastPump = std::chrono::steady_clock::now();
    while (!done()) {
      wait();
      perform();
      const auto now = std::chrono::steady_clock::now();
      if (now - lastPump >= kPumpInterval) {
        host_.pumpEvents();
        lastPump = now;
      }
    }
  }

 private:
  static constexpr std::chrono::milliseconds kPumpInterval{20};

  static constexpr std::size_t kSpareHandles = 2;

  // Sets the session's options on a new easy handle; false when libcurl
  // refuses one of them.
  bool configure(CURL* easy) const;
  void perform();
  void wait();

  Host& host_;
  SessionOptions options_;
  ProxyMode mode_;
  MultiHandle multi_;
  HeaderList headers_;
  std::vector<EasyHandle> spare_;
};

}  // namespace tarnwick
