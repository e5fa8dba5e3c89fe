#include "net/session_core.h"

#include <algorithm>
#include <mutex>

#include "net/transfer.h"

namespace tarnwick {

namespace {

// Hosts that never go through the named proxy ("<local>" addresses).
constexpr const char* kLocalAddresses = "localhost,127.0.0.0/8,::1";
constexpr const char* kNamedProxy = "proxy";
constexpr int kPollStepMs = 10;

}  // namespace

bool curlReady() {
  static std::once_flag once;
  static CURLcode code = CURLE_FAILED_INIT;
  std::call_once(once, [] { code = curl_global_init(CURL_GLOBAL_DEFAULT); });
  return code == CURLE_OK;
}

SessionCore::SessionCore(Host& host, const SessionOptions& options, ProxyMode mode)
    : host_(host), options_(options), mode_(mode) {
  if (!curlReady()) throw InternetError("libcurl could not be initialised");
  multi_.reset(curl_multi_init());
  if (!multi_) throw InternetError("libcurl could not create a session");
  // Forced reload: neither the server nor a cache on the way may answer from a copy.
  curl_slist* list = nullptr;
  for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
    curl_slist* longer = curl_slist_append(list, header);
    if (!longer) {
      curl_slist_free_all(list);
      throw InternetError("libcurl could not create a session");
    }
    list = longer;
  }
  headers_.reset(list);
  curl_multi_setopt(multi_.get(), CURLMOPT_MAX_HOST_CONNECTIONS,
                    static_cast<long>(std::max(1, options_.perHost)));
  EasyHandle probe = takeEasy();
  if (!probe) throw InternetError("libcurl refused the session's options");
  spare_.push_back(std::move(probe));
}

EasyHandle SessionCore::takeEasy() {
  if (!spare_.empty()) {
    EasyHandle easy = std::move(spare_.back());
    spare_.pop_back();
    return easy;
  }
  EasyHandle easy(curl_easy_init());
  if (!easy || !configure(easy.get())) return nullptr;
  return easy;
}

void SessionCore::giveBack(EasyHandle easy) {
  if (spare_.size() < kSpareHandles) spare_.push_back(std::move(easy));
}

bool SessionCore::configure(CURL* easy) const {
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_HTTPHEADER, headers_.get());
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, 10L);
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // Sockets are written with MSG_NOSIGNAL, so SIGPIPE needs no handler swap per call.
  set(CURLOPT_NOSIGNAL, 1L);
  if (options_.connectTimeout)
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options_.connectTimeoutLength.count()));
  switch (mode_) {
    case ProxyMode::Environment:
      break;  // curl reads http_proxy, https_proxy and no_proxy itself
    case ProxyMode::Direct:
      set(CURLOPT_PROXY, "");
      break;
    case ProxyMode::NamedProxy:
      set(CURLOPT_PROXY, kNamedProxy);
      set(CURLOPT_NOPROXY, kLocalAddresses);
      break;
  }
  return ok;
}

void SessionCore::perform() {
  readsSinceKick_ = 0;
  int running = 0;
  curl_multi_perform(multi_.get(), &running);
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    Transfer* transfer = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
    if (transfer) transfer->finish(message->data.result);
  }
  // Requests started here leave now rather than at the next wait.
  if (turnHook_ && turnHook_()) curl_multi_perform(multi_.get(), &running);
}

void SessionCore::kickIfDue() {
  // Counted rather than timed: a clock read per buffered read costs more than it saves.
  if (liveRequests_ > 0 && ++readsSinceKick_ >= kReadsPerKick) perform();
}

void SessionCore::requestStarted(const std::string& host) {
  HostTraffic& traffic = hosts_[host];
  ++traffic.live;
  traffic.lastStart = std::chrono::steady_clock::now();
  ++liveRequests_;
}

void SessionCore::requestEnded(const std::string& host) {
  const auto found = hosts_.find(host);
  if (found == hosts_.end()) return;
  --found->second.live;
  --liveRequests_;
}

int SessionCore::liveRequestsTo(const std::string& host) const {
  const auto found = hosts_.find(host);
  return found == hosts_.end() ? 0 : found->second.live;
}

bool SessionCore::delayOverFor(const std::string& host) const {
  if (options_.requestDelay.count() <= 0) return true;
  const auto found = hosts_.find(host);
  return found == hosts_.end() ||
         std::chrono::steady_clock::now() - found->second.lastStart >= options_.requestDelay;
}

std::string requestHost(std::string_view address) {
  const std::size_t scheme = address.find("://");
  const std::size_t from = scheme == std::string_view::npos ? 0 : scheme + 3;
  const std::size_t to = address.find_first_of("/?#", from);
  std::string host(address.substr(0, to));
  for (char& c : host)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return host;
}

void SessionCore::wait() { curl_multi_poll(multi_.get(), nullptr, 0, kPollStepMs, nullptr); }

}  // namespace tarnwick
