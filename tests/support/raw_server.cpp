#include "support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tarnwick::test {

RawServer::RawServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("raw test server: cannot listen on 127.0.0.1");
  base_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  thread_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() {
  ending_ = true;
  ::shutdown(listener_, SHUT_RDWR);
  thread_.join();
  ::close(listener_);
}

void RawServer::serve(const std::string& target, std::string reply, bool reset) {
  std::lock_guard lock(mutex_);
  replies_[target] = Reply{std::move(reply), reset};
}

void RawServer::acceptLoop() {
  while (!ending_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 100) <= 0) continue;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    answer(fd);
  }
}

void RawServer::answer(int fd) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, 2000) <= 0) break;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  // "GET /target HTTP/1.1"
  const std::size_t from = request.find(' ') + 1, to = request.find(' ', from);
  const std::string target =
      from > 0 && to != std::string::npos ? request.substr(from, to - from) : "";
  Reply reply{{}, true};
  {
    std::lock_guard lock(mutex_);
    if (auto it = replies_.find(target); it != replies_.end()) reply = it->second;
  }
  for (std::size_t sent = 0; sent < reply.bytes.size();) {
    const ssize_t n =
        ::send(fd, reply.bytes.data() + sent, reply.bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  if (reply.reset) {
    const linger abortive{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  }
  ::close(fd);
}

}  // namespace tarnwick::test
