#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/host.h"

namespace tarnwick {

// A transport failure (name not resolved, refused, reset, time-out, TLS, or an
// address that does not begin with "http://" / "https://" in any letter case);
// what() is curl's message.
class InternetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Transfer;
class ReadAheadPool;

// One opened address; closes its transfer in the destructor.
class RemoteFile {
 public:
  explicit RemoteFile(std::unique_ptr<Transfer> transfer);
  ~RemoteFile();
  RemoteFile(const RemoteFile&) = delete;
  RemoteFile& operator=(const RemoteFile&) = delete;

  // Announced Content-Length, or when none is announced the bytes already
  // available (never 0 while the body has data); 0 means nothing to read.
  std::int64_t getLength();
  // Reads exactly `size` bytes unless the body ends first (waits, pumping the
  // host at least every 50 ms); 0 at the end. Throws InternetError when the
  // transfer breaks; bytes that arrived before the break are handed out first.
  // When `stop` is given it is asked at every turn of the wait; once it
  // returns true the read hands out what it has, perhaps nothing, and
  // interrupted() tells such a read from the end of the body.
  std::size_t read(char* buffer, std::size_t size, const std::function<bool()>& stop = {});
  bool interrupted() const { return interrupted_; }
  // False when the server announced no Content-Length (chunked, or until close).
  bool lengthAnnounced() const;
  // True when the whole body arrived and every byte of it was read.
  bool complete() const;

 private:
  std::unique_ptr<Transfer> transfer_;
  bool interrupted_ = false;
};

struct SessionOptions {
  // 120 s; off for the list-of-links download (curl's own default then holds).
  bool connectTimeout = true;
  std::chrono::milliseconds connectTimeoutLength{120000};
  // A transfer that receives nothing for this long while it is waited for
  // (connecting included) fails with a time-out.
  std::chrono::milliseconds stallTimeout{120000};
  // An opened address whose body has not ended this long after the open
  // fails with a time-out; 0: no limit.
  std::chrono::milliseconds maxTime{0};
  // Requests under way at once: the address being read and those fetched
  // ahead of it (1: nothing is fetched ahead).
  int parallel = 1;
  // Requests under way at once to one host (scheme, host and port).
  int perHost = 6;
  // The least time between the starts of two requests to one host.
  std::chrono::milliseconds requestDelay{0};
  // What an address fetched ahead may hold before its turn, and all of them together.
  std::size_t aheadBytesPerAddress = 8 * 1024 * 1024;
  std::size_t aheadBytesInAll = 64 * 1024 * 1024;
};

class SessionCore;

// One Internet session: a pool of kept-alive connections that every address
// opened through it shares. Single-threaded; waiting runs the host's pump.
class InternetSession {
 public:
  // The four-step opening chain (proxy from the environment, direct, the proxy
  // host "proxy" with local addresses bypassed, the environment again);
  // returns nullptr when no attempt yields a session (the caller shows
  // messages::kNoConnection).
  static std::unique_ptr<InternetSession> open(Host& host, SessionOptions options = {});
  ~InternetSession();
  InternetSession(const InternetSession&) = delete;
  InternetSession& operator=(const InternetSession&) = delete;

  // Forced reload, redirects followed (at most 10). nullptr: "no file" (HTTP
  // status >= 400). Throws InternetError on transport failure. The file must
  // not outlive the session.
  std::unique_ptr<RemoteFile> openUrl(std::string_view address);

  // The addresses that will be opened next, in the order they will be
  // opened: their requests are sent ahead (as many as `parallel` and
  // `perHost` allow, the earlier ones first, spaced by `requestDelay`), so
  // that their answers travel while the caller reads the current one. The
  // next openUrl of one of them takes its transfer over; an address left out
  // of a later call is dropped. What each receives before it is opened is
  // bounded. Addresses openUrl would refuse, and failures, stay silent here:
  // they show when the address is opened.
  void readAhead(const std::vector<std::string_view>& addresses);
  // How many addresses readAhead takes at most (0: it takes none).
  std::size_t readAheadRoom() const;
  // The bytes received for addresses fetched ahead that are not open yet.
  std::size_t bytesHeldAhead() const;

 private:
  explicit InternetSession(std::unique_ptr<SessionCore> core);
  // Declared before the transfers ahead, which must end first.
  std::unique_ptr<SessionCore> core_;
  std::unique_ptr<ReadAheadPool> ahead_;
};

}  // namespace tarnwick
