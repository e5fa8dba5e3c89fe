#include "support/http_server.h"

#include <httplib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tarnwick::test {

namespace {

// No stalled answer outlives this, whatever a test does.
constexpr std::chrono::seconds kLongestStall{60};

bool isAbsolute(std::string_view target) {
  return target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0;
}

}  // namespace

HttpServer::HttpServer() : server_(std::make_unique<httplib::Server>()) {
  server_->set_keep_alive_max_count(100000);
  server_->set_keep_alive_timeout(1);
  server_->set_tcp_nodelay(true);
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    handle(request, response);
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server: cannot bind 127.0.0.1");
  base_ = "http://127.0.0.1:" + std::to_string(port_);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 500 && !server_->is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

HttpServer::~HttpServer() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  released_.notify_all();
  server_->stop();
  thread_.join();
}

std::string HttpServer::absolute(const std::string& address) const {
  return isAbsolute(address) ? address : base_ + address;
}

void HttpServer::serve(const std::string& address, Page page) {
  std::lock_guard lock(mutex_);
  pages_[absolute(address)] = std::move(page);
}

std::vector<SeenRequest> HttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t HttpServer::requestCount(std::string_view address) const {
  const std::string wanted = absolute(std::string(address));
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(requests_.begin(), requests_.end(),
                                                [&](const SeenRequest& r) { return r.address == wanted; }));
}

std::vector<std::string> HttpServer::requestedAddresses() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> addresses;
  for (const SeenRequest& r : requests_) addresses.push_back(r.address);
  return addresses;
}

bool HttpServer::waitForRelease(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return released_.wait_for(lock, limit, [this] { return ending_; });
}

void HttpServer::handle(const httplib::Request& request, httplib::Response& response) {
  const std::string address = absolute(request.target);
  std::optional<Page> found;
  {
    std::lock_guard lock(mutex_);
    SeenRequest seen{address, {}, request.remote_port};
    for (const auto& [name, value] : request.headers) seen.headers.emplace(name, value);
    requests_.push_back(std::move(seen));
    if (auto it = pages_.find(address); it != pages_.end()) found = it->second;
  }
  if (!found) {
    const bool ownHost = address.rfind(base_ + "/", 0) == 0 || address == base_;
    found = Page::withStatus(ownHost ? 404 : 502, ownHost ? "not found" : "bad gateway");
  }
  auto page = std::make_shared<const Page>(std::move(*found));
  response.status = page->status;
  if (!page->location.empty()) response.set_header("Location", page->location);
  switch (page->fault) {
    case Fault::None:
      response.set_content(page->body, page->contentType);
      break;
    case Fault::Chunked:
      response.set_chunked_content_provider(
          page->contentType, [page](std::size_t offset, httplib::DataSink& sink) {
            if (offset >= page->body.size()) {
              sink.done();
              return true;
            }
            const std::size_t piece = page->pieceSize == 0 ? page->body.size() : page->pieceSize;
            const std::size_t n = std::min(piece, page->body.size() - offset);
            if (offset > 0) std::this_thread::sleep_for(page->piecePause);
            return sink.write(page->body.data() + offset, n);
          });
      break;
    case Fault::UntilClose:
      response.set_header("Connection", "close");
      response.set_content_provider(page->contentType,
                                    [page](std::size_t offset, httplib::DataSink& sink) {
                                      if (offset >= page->body.size()) return false;  // close now
                                      return sink.write(page->body.data() + offset,
                                                        page->body.size() - offset);
                                    });
      break;
    case Fault::ResetMidBody:
    case Fault::Stall:
      response.set_content_provider(
          page->body.size(), page->contentType,
          [this, page](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            const std::size_t cut = std::min(page->cutAt, page->body.size());
            if (offset < cut) return sink.write(page->body.data() + offset, cut - offset);
            if (page->fault == Fault::Stall) waitForRelease(kLongestStall);
            return false;  // drops the connection
          });
      break;
    case Fault::NoResponse:
      waitForRelease(kLongestStall);
      response.status = 503;
      break;
  }
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) old_ = old;
  if (value)
    setenv(name_.c_str(), value->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
  if (old_)
    setenv(name_.c_str(), old_->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ProxyEnvironment::ProxyEnvironment(std::optional<std::string> httpProxy) {
  for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                           "NO_PROXY", "HTTP_PROXY"})
    vars_.push_back(std::make_unique<ScopedEnv>(name, std::nullopt));
  vars_.push_back(std::make_unique<ScopedEnv>("http_proxy", std::move(httpProxy)));
}

}  // namespace tarnwick::test
