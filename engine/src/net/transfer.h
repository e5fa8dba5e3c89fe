#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "net/curl_handles.h"
#include "net/session_core.h"

namespace tarnwick {

// One request of a session and the body bytes received and not yet read.
// Bytes are fetched only when some reader of the session waits; a transfer
// that holds kBufferCap unread bytes is paused until its reader catches up.
// A transfer fetched ahead of its reader holds up to the session's share
// per address (and its part of the session's whole share) before it pauses,
// and stays paused until becomeRead() hands it to its reader.
class Transfer {
 public:
  enum class Role { Read, Ahead };
  // Starts the request; throws InternetError when it cannot be started.
  Transfer(SessionCore& core, std::string_view address, Role role = Role::Read);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Waits until the final response's headers are in (after redirects), its
  // first body bytes arrived or the transfer ended. Throws InternetError when
  // it ended in a failure before any of that.
  void waitForResponse();
  // The final response's HTTP status (0 when none was received).
  long status() const;
  // Content-Length of the final response, -1 when none was announced.
  std::int64_t announcedLength() const;

  // Waits until `wanted` bytes are buffered, the body ended, or `stop` (when
  // given) returns true; it is asked at every turn of the wait.
  void waitForData(std::size_t wanted, const std::function<bool()>& stop = {});
  // Starts the total time limit of the session (when it has one); the
  // transfer fails with a time-out once it has run that long.
  void startClock();
  // True when the transfer ended without failure.
  bool succeeded() const { return done_ && result_ == CURLE_OK; }
  std::size_t available() const { return buffer_.size() - readPos_; }
  // Moves up to `size` buffered bytes to out.
  std::size_t take(char* out, std::size_t size);
  // Throws InternetError when the transfer ended in a failure.
  void throwIfFailed() const;

  // Called by the session when the transfer ends.
  void finish(CURLcode result);
  // The transfer fetched ahead now has its reader: it streams as one opened.
  void becomeRead();

  static constexpr std::size_t kBufferCap = 256 * 1024;

 private:
  static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  void headerLine(std::string_view line);
  // Runs the session until ready() holds, the transfer ends, or it stalls.
  template <typename Ready>
  void waitUntil(Ready ready);
  bool stalledSince(std::chrono::steady_clock::time_point waitStart) const;
  bool overTime() const;
  void timeOut();
  void timeOutTotal();
  // Marks the transfer ended, once, for the session's count of live requests.
  void end(CURLcode result);
  // The bytes fetched ahead leave the session's shared account.
  void releaseAheadBytes();
  bool mayTakeAhead(std::size_t bytes) const;
  void reserveForBody();

  SessionCore& core_;
  std::string hostKey_;
  Role role_;
  std::size_t aheadBytes_ = 0;  // counted in the session's share of bytes fetched ahead
  EasyHandle easy_;
  bool added_ = false;
  std::string buffer_;
  std::size_t readPos_ = 0;
  bool responseFinal_ = false;
  bool sawLocation_ = false;
  bool done_ = false;
  bool paused_ = false;
  CURLcode result_ = CURLE_OK;
  std::chrono::steady_clock::time_point lastData_;
  std::optional<std::chrono::steady_clock::time_point> startedAt_;
  char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace tarnwick
