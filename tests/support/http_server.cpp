#include "support/http_server.h"

#include <httplib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tarnwick::test {

namespace {

// No stalled answer outlives this, whatever a test does.
constexpr std::chrono::seconds kLongestStall{60};
constexpr const char* kType = "text/html";

}  // namespace

HttpServer::HttpServer(std::size_t threads) : server_(std::make_unique<httplib::Server>()) {
  if (threads > 0) server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server_->set_keep_alive_max_count(100000);
  server_->set_keep_alive_timeout(1);
  server_->set_tcp_nodelay(true);
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    handle(request, response);
  });
  const int port = server_->bind_to_any_port("127.0.0.1");
  if (port <= 0) throw std::runtime_error("test server: cannot bind 127.0.0.1");
  base_ = "http://127.0.0.1:" + std::to_string(port);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 500 && !server_->is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

HttpServer::~HttpServer() {
  {
    std::lock_guard lock(mutex_);
    isEnding_ = true;
  }
  ending_.notify_all();
  server_->stop();
  thread_.join();
}

std::string HttpServer::absolute(std::string_view address) const {
  const bool isAbsolute = address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
  return isAbsolute ? std::string(address) : base_ + std::string(address);
}

void HttpServer::serve(const std::string& address, Page page) {
  std::lock_guard lock(mutex_);
  pages_[absolute(address)] = std::move(page);
}

void HttpServer::serveUnknown(Page page) {
  std::lock_guard lock(mutex_);
  unknown_ = std::move(page);
}

std::vector<SeenRequest> HttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t HttpServer::requestCount(std::string_view address) const {
  const std::string wanted = absolute(address);
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(
      std::count_if(requests_.begin(), requests_.end(),
                    [&](const SeenRequest& r) { return r.address == wanted; }));
}

void HttpServer::waitUntilEnding(std::chrono::milliseconds atMost) {
  const auto limit = atMost.count() > 0 ? std::min<std::chrono::milliseconds>(atMost, kLongestStall)
                                        : std::chrono::milliseconds(kLongestStall);
  std::unique_lock lock(mutex_);
  ending_.wait_for(lock, limit, [this] { return isEnding_; });
}

void HttpServer::handle(const httplib::Request& request, httplib::Response& response) {
  const std::string address = absolute(request.target);
  std::optional<Page> found;
  {
    std::lock_guard lock(mutex_);
    SeenRequest seen{address, {}, request.remote_port};
    for (const auto& [name, value] : request.headers) seen.headers.emplace(name, value);
    requests_.push_back(std::move(seen));
    if (auto it = pages_.find(address); it != pages_.end())
      found = it->second;
    else
      found = unknown_;
  }
  if (!found) {
    const bool ownHost = address.rfind(base_ + "/", 0) == 0;
    found = Page::html(ownHost ? "not found" : "bad gateway", ownHost ? 404 : 502);
  }
  auto page = std::make_shared<const Page>(std::move(*found));
  if (page->responseDelay.count() > 0) {
    std::unique_lock lock(mutex_);
    ending_.wait_for(lock, page->responseDelay, [this] { return isEnding_; });
  }
  response.status = page->status;
  if (!page->location.empty()) response.set_header("Location", page->location);
  for (const auto& [name, value] : page->headers) response.set_header(name, value);
  switch (page->fault) {
    case Fault::None:
      response.set_content(page->body, kType);
      break;
    case Fault::Chunked:
      response.set_chunked_content_provider(kType, [page](std::size_t offset,
                                                          httplib::DataSink& sink) {
        if (offset >= page->body.size()) {
          sink.done();
          return true;
        }
        const std::size_t piece = page->pieceSize == 0 ? page->body.size() : page->pieceSize;
        if (offset > 0) std::this_thread::sleep_for(page->piecePause);
        return sink.write(page->body.data() + offset, std::min(piece, page->body.size() - offset));
      });
      break;
    case Fault::UntilClose:
      response.set_header("Connection", "close");
      response.set_content_provider(kType, [page](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= page->body.size()) return false;  // closes the connection
        return sink.write(page->body.data() + offset, page->body.size() - offset);
      });
      break;
    case Fault::ResetMidBody:
    case Fault::Stall:
      response.set_content_provider(
          page->body.size(), kType,
          [this, page](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            const std::size_t cut = std::min(page->cutAt, page->body.size());
            if (offset < cut) return sink.write(page->body.data() + offset, cut - offset);
            if (page->fault == Fault::Stall) waitUntilEnding(page->silence);
            return false;  // drops the connection
          });
      break;
    case Fault::Generated: {
      // Whole patterns filling about 64 KiB: any offset starts inside the first.
      auto block = std::make_shared<std::string>();
      while (block->size() < 65536) *block += page->body;
      response.set_content_provider(
          page->generatedSize, kType,
          [page, block](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            const std::size_t from = offset % page->body.size();
            return sink.write(block->data() + from, std::min(length, block->size() - from));
          });
      break;
    }
    case Fault::NoResponse:
      waitUntilEnding(page->silence);
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
