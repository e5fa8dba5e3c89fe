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
  None,          // status, headers and the whole body with its Content-Length
  Chunked,       // chunked, no Content-Length, the body in pieces of `pieceSize`
  UntilClose,    // no Content-Length and no chunks: the body ends when the connection closes
  ResetMidBody,  // the whole body's Content-Length, the connection dropped after `cutAt` bytes
  Stall,         // the whole body's Content-Length, `cutAt` bytes, then silence
  NoResponse,    // the request is read and never answered
};

struct Page {
  std::string body;
  int status = 200;
  std::string contentType = "text/html";
  std::string location;  // a Location header when not empty
  Fault fault = Fault::None;
  std::size_t pieceSize = 0;  // Chunked: bytes per chunk (0: the whole body in one)
  std::chrono::milliseconds piecePause{0};
  std::size_t cutAt = 0;  // ResetMidBody, Stall

  static Page html(std::string body) {
    Page page;
    page.body = std::move(body);
    return page;
  }
  static Page redirect(std::string to, int status = 302) {
    Page page;
    page.status = status;
    page.location = std::move(to);
    return page;
  }
  static Page withStatus(int status, std::string body = "error page") {
    Page page = html(std::move(body));
    page.status = status;
    return page;
  }
};

struct SeenRequest {
  std::string address;  // absolute: the target as a proxy gets it, or base() + target
  std::multimap<std::string, std::string> headers;  // names as sent
  int remotePort = -1;  // tells connections apart
};

// A real HTTP server on 127.0.0.1 (a free port) that serves a table of pages,
// for tests. It also answers as an HTTP proxy (point `http_proxy` at base()):
// a request for any host is looked up by its absolute address, so tests can
// use host names that no name service knows. Unknown addresses get 404 on its
// own host and 502 on any other, as a proxy would answer.
class HttpServer {
 public:
  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT"
  const std::string& base() const { return base_; }

  // address: absolute ("http://host/path") or a target on this server ("/path").
  void serve(const std::string& address, Page page);
  void serve(const std::string& address, std::string body) { serve(address, Page::html(std::move(body))); }

  std::vector<SeenRequest> requests() const;
  std::size_t requestCount(std::string_view address) const;
  // The addresses requested, in order.
  std::vector<std::string> requestedAddresses() const;

 private:
  std::string absolute(const std::string& address) const;
  void handle(const httplib::Request& request, httplib::Response& response);
  bool waitForRelease(std::chrono::milliseconds limit);

  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  std::string base_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool ending_ = false;
  std::map<std::string, Page> pages_;
  std::vector<SeenRequest> requests_;
};

// Sets one environment variable (or removes it when value is nullopt) and
// puts the old value back at the end of the scope.
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
