#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace tarnwick::test {

// A bare TCP server on 127.0.0.1 for answers no HTTP library would send:
// each request (one per connection) gets the exact bytes stored for its
// target, then the connection is closed; with `reset`, closed with a reset
// (RST) rather than an orderly end. Unknown targets are closed unanswered.
class RawServer {
 public:
  RawServer();
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  const std::string& base() const { return base_; }  // "http://127.0.0.1:PORT"
  void serve(const std::string& target, std::string reply, bool reset = false);

 private:
  struct Reply {
    std::string bytes;
    bool reset = false;
  };
  void acceptLoop();
  void answer(int fd);

  int listener_ = -1;
  std::string base_;
  std::atomic<bool> ending_{false};
  std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  std::thread thread_;
};

}  // namespace tarnwick::test
