#include "net/transfer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace tarnwick {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// Buffered bytes before the read position are dropped once they are this many.
constexpr std::size_t kCompactAfter = 64 * 1024;

}  // namespace

Transfer::Transfer(SessionCore& core, std::string_view address, Role role)
    : core_(core), hostKey_(requestHost(address)), role_(role) {
  // Nothing is looked up for an address of another scheme.
  if (!startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://"))
    throw InternetError("Unsupported protocol: only http:// and https:// addresses can be opened");
  easy_ = core_.takeEasy();
  if (!easy_) throw InternetError("libcurl could not start a transfer");
  const std::string url(address);
  CURL* easy = easy_.get();
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_PRIVATE, static_cast<void*>(this));
  set(CURLOPT_ERRORBUFFER, errorText_);
  set(CURLOPT_WRITEFUNCTION, &Transfer::onBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(this));
  set(CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(this));
  if (!ok) {
    throw InternetError(errorText_[0] != '\0' ? errorText_ : "libcurl refused the address");
  }
  if (curl_multi_add_handle(core_.multi(), easy) != CURLM_OK)
    throw InternetError("libcurl could not start a transfer");
  added_ = true;
  core_.requestStarted(hostKey_);
}

Transfer::~Transfer() {
  if (!added_) return;
  if (!done_) core_.requestEnded(hostKey_);
  releaseAheadBytes();
  curl_multi_remove_handle(core_.multi(), easy_.get());
  // What points into this transfer is set again by the next one that uses the handle.
  curl_easy_setopt(easy_.get(), CURLOPT_ERRORBUFFER, static_cast<char*>(nullptr));
  core_.giveBack(std::move(easy_));
}

template <typename Ready>
void Transfer::waitUntil(Ready ready) {
  const auto waitStart = std::chrono::steady_clock::now();
  core_.runUntil([&] {
    if (done_ || ready()) return true;
    if (overTime()) {
      timeOutTotal();
      return true;
    }
    if (!stalledSince(waitStart)) return false;
    timeOut();
    return true;
  });
}

void Transfer::startClock() {
  if (core_.maxTime().count() > 0) startedAt_ = std::chrono::steady_clock::now();
}

bool Transfer::overTime() const {
  return startedAt_ && std::chrono::steady_clock::now() - *startedAt_ >= core_.maxTime();
}

void Transfer::timeOutTotal() {
  end(CURLE_OPERATION_TIMEDOUT);
  std::snprintf(errorText_, sizeof errorText_,
                "Operation timed out: not finished within %lld milliseconds",
                static_cast<long long>(core_.maxTime().count()));
}

bool Transfer::stalledSince(std::chrono::steady_clock::time_point waitStart) const {
  const auto quietSince = std::max(waitStart, lastData_);
  return std::chrono::steady_clock::now() - quietSince >= core_.stallTimeout();
}

void Transfer::timeOut() {
  end(CURLE_OPERATION_TIMEDOUT);
  std::snprintf(errorText_, sizeof errorText_,
                "Operation timed out: nothing received for %lld milliseconds",
                static_cast<long long>(core_.stallTimeout().count()));
}

void Transfer::waitForResponse() {
  waitUntil([this] { return responseFinal_ || available() > 0; });
  if (done_ && !responseFinal_ && available() == 0) throwIfFailed();
}

long Transfer::status() const {
  long code = 0;
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &code);
  return code;
}

std::int64_t Transfer::announcedLength() const {
  curl_off_t length = -1;
  if (curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
    return -1;
  return length;
}

void Transfer::waitForData(std::size_t wanted, const std::function<bool()>& stop) {
  if (!done_ && overTime()) timeOutTotal();
  if (available() >= wanted || done_) {
    core_.kickIfDue();  // the transfers ahead move on while this one is read from its buffer
    return;
  }
  if (paused_) {
    paused_ = false;
    curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
  }
  waitUntil([&] { return available() >= wanted || (stop && stop()); });
}

std::size_t Transfer::take(char* out, std::size_t size) {
  const std::size_t n = std::min(size, available());
  std::memcpy(out, buffer_.data() + readPos_, n);
  readPos_ += n;
  if (readPos_ == buffer_.size()) {
    buffer_.clear();
    readPos_ = 0;
  } else if (readPos_ >= kCompactAfter) {
    buffer_.erase(0, readPos_);
    readPos_ = 0;
  }
  if (paused_ && available() < kBufferCap / 2) {
    paused_ = false;
    curl_easy_pause(easy_.get(), CURLPAUSE_CONT);  // may deliver held data right here
  }
  return n;
}

void Transfer::throwIfFailed() const {
  if (!done_ || result_ == CURLE_OK) return;
  throw InternetError(errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(result_));
}

void Transfer::finish(CURLcode result) {
  if (done_) return;  // timed out before
  end(result);
}

void Transfer::end(CURLcode result) {
  if (done_) return;
  done_ = true;
  result_ = result;
  core_.requestEnded(hostKey_);
}

void Transfer::reserveForBody() {
  // A body held whole before its reader comes is stored once rather than grown.
  const std::int64_t length = announcedLength();
  if (length > 0)
    buffer_.reserve(std::min(static_cast<std::size_t>(length), core_.options().aheadBytesPerAddress));
}

void Transfer::becomeRead() {
  role_ = Role::Read;
  releaseAheadBytes();
}

void Transfer::releaseAheadBytes() {
  core_.releaseAheadBytes(aheadBytes_);
  aheadBytes_ = 0;
}

bool Transfer::mayTakeAhead(std::size_t bytes) const {
  const SessionOptions& options = core_.options();
  return available() + bytes <= options.aheadBytesPerAddress &&
         core_.aheadBytes() + bytes <= options.aheadBytesInAll;
}

std::size_t Transfer::onBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  const std::size_t bytes = size * count;
  if (transfer->done_) return bytes;  // timed out: nobody reads it any more
  const bool ahead = transfer->role_ == Role::Ahead;
  if (ahead ? !transfer->mayTakeAhead(bytes) : transfer->available() >= kBufferCap) {
    transfer->paused_ = true;
    return CURL_WRITEFUNC_PAUSE;  // curl keeps these bytes and offers them again
  }
  if (ahead) {
    transfer->aheadBytes_ += bytes;
    transfer->core_.addAheadBytes(bytes);
    if (transfer->buffer_.empty()) transfer->reserveForBody();
  }
  transfer->buffer_.append(data, bytes);
  transfer->lastData_ = std::chrono::steady_clock::now();
  return size * count;
}

std::size_t Transfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  transfer->lastData_ = std::chrono::steady_clock::now();
  transfer->headerLine(std::string_view(data, size * count));
  return size * count;
}

void Transfer::headerLine(std::string_view line) {
  if (startsWithNoCase(line, "http/")) {
    sawLocation_ = false;  // a new response begins
  } else if (startsWithNoCase(line, "location:")) {
    sawLocation_ = true;
  } else if (line == "\r\n" || line == "\n") {
    // The end of one response's headers: final unless curl goes on to another.
    const long code = status();
    const bool informational = code < 200;
    const bool followed = code >= 300 && code < 400 && sawLocation_;
    if (!informational && !followed) responseFinal_ = true;
  }
}

}  // namespace tarnwick
