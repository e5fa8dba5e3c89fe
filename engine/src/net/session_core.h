#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
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

  const SessionOptions& options() const { return options_; }

  // Lets the transfers do what they can without waiting.
  void kick() { perform(); }
  // The same, once every few calls while requests are under way: for readers
  // served from their buffers, so that the transfers ahead keep moving meanwhile.
  void kickIfDue();

  // Runs after every turn of the transfers; returns true when it started
  // requests, which then leave at once.
  void setTurnHook(std::function<bool()> hook) { turnHook_ = std::move(hook); }

  // The requests under way to each host, and when the latest one began.
  void requestStarted(const std::string& host);
  void requestEnded(const std::string& host);
  int liveRequestsTo(const std::string& host) const;
  int liveRequests() const { return liveRequests_; }
  // False while the request delay since the last request to host runs.
  bool delayOverFor(const std::string& host) const;

  // The bytes held by transfers fetched ahead, across the session.
  std::size_t aheadBytes() const { return aheadBytes_; }
  void addAheadBytes(std::size_t n) { aheadBytes_ += n; }
  void releaseAheadBytes(std::size_t n) { aheadBytes_ -= n; }

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

  // Enough for every transfer of the widest read-ahead, so handles are reused.
  static constexpr std::size_t kSpareHandles = 64;
  static constexpr int kReadsPerKick = 16;

  struct HostTraffic {
    int live = 0;
    std::chrono::steady_clock::time_point lastStart;
  };

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
  std::function<bool()> turnHook_;
  std::unordered_map<std::string, HostTraffic> hosts_;
  int liveRequests_ = 0;
  std::size_t aheadBytes_ = 0;
  int readsSinceKick_ = 0;
};

// The part of an address that names one server: scheme, host and port, in
// lower case ("http://example.com:8080").
std::string requestHost(std::string_view address);

}  // namespace tarnwick
