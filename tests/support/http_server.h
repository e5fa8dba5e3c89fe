#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace tarnwick::test {

// How the server answers one address.
enum class Fault {
  None,          // the whole body with its Content-Length
  Chunked,       // chunked, no Content-Length, the body in pieces of `pieceSize` (0: one piece)
  UntilClose,    // no Content-Length and no chunks: the body ends when the connection closes
  ResetMidBody,  // the whole body's Content-Length, the connection dropped after `cutAt` bytes
  Stall,         // the whole body's Content-Length, `cutAt` bytes, then silence
  NoResponse,    // the request is read and never answered
  Generated,  // `generatedSize` bytes with their Content-Length, `body` over and over, made as sent
};

struct Page {
  std::string body;
  int status = 200;
  std::string location;  // a Location header when not empty
  Fault fault = Fault::None;
  std::size_t pieceSize = 0;
  std::chrono::milliseconds piecePause{0};  // between chunks
  std::size_t cutAt = 0;
  std::size_t generatedSize = 0;
  // How long Stall and NoResponse stay silent before dropping the connection
  // (zero: until the server ends), so stalls need not tie up its threads.
  std::chrono::milliseconds silence{0};
  std::vector<std::pair<std::string, std::string>> headers;  // sent as well
  std::chrono::milliseconds responseDelay{0};  // before the status line, to reorder answers

  static Page html(std::string body, int status = 200) {
    Page page;
    page.body = std::move(body);
    page.status = status;
    return page;
  }
  static Page redirect(int status, std::string to) {
    Page page = html("", status);
    page.location = std::move(to);
    return page;
  }
  static Page chunked(std::string body, std::size_t pieceSize,
                      std::chrono::milliseconds pause = {}) {
    Page page = faulty(Fault::Chunked, std::move(body));
    page.pieceSize = pieceSize;
    page.piecePause = pause;
    return page;
  }
  static Page generated(std::string pattern, std::size_t size) {
    Page page = faulty(Fault::Generated, std::move(pattern));
    page.generatedSize = size;
    return page;
  }
  static Page faulty(Fault fault, std::string body = "", std::size_t cutAt = 0) {
    Page page = html(std::move(body));
    page.fault = fault;
    page.cutAt = cutAt;
    return page;
  }
};

struct SeenRequest {
  std::string address;  // absolute: the target as a proxy gets it, or base() + target
  std::multimap<std::string, std::string> headers;
  int remotePort = -1;  // tells connections apart
};

// A real HTTP server on 127.0.0.1 (a free port) that serves a table of pages.
// It also answers as an HTTP proxy (point `http_proxy` at base()), looking a
// request for any host up by its absolute address, so tests can use host
// names no name service knows. Unknown addresses get 404 on its own host and
// 502 on any other, as a proxy would answer.
class HttpServer {
 public:
  // threads: connections served at once (0: the library's default).
  explicit HttpServer(std::size_t threads = 0);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // "http://127.0.0.1:PORT"
  const std::string& base() const { return base_; }

  // address: absolute ("http://host/path") or a target on this server ("/path").
  void serve(const std::string& address, Page page);
  void serve(const std::string& address, std::string body) {
    serve(address, Page::html(std::move(body)));
  }

  // Answers every address missing from the table with page, instead of 404
  // or 502: for sites whose addresses the client may rewrite before asking.
  void serveUnknown(Page page);

  std::vector<SeenRequest> requests() const;
  std::size_t requestCount(std::string_view address) const;

 private:
  std::string absolute(std::string_view address) const;
  void handle(const httplib::Request& request, httplib::Response& response);
  void waitUntilEnding(std::chrono::milliseconds atMost);

  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  std::string base_;
  mutable std::mutex mutex_;
  std::condition_variable ending_;
  bool isEnding_ = false;
  std::map<std::string, Page> pages_;
  std::optional<Page> unknown_;
  std::vector<SeenRequest> requests_;
};

// Sets one environment variable (or removes it when value is nullopt) for the
// length of a scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The proxy variables libcurl reads, for the length of a scope: with a proxy,
// every http:// request goes to it; without, every request goes direct.
class ProxyEnvironment {
 public:
  explicit ProxyEnvironment(std::optional<std::string> httpProxy);

 private:
  std::vector<std::unique_ptr<ScopedEnv>> vars_;
};

}  // namespace tarnwick::test
