// A loopback web server for crawl benchmarks that answers every request only
// after a fixed delay, standing in for a distant server: the files of a
// generated site on 127.0.0.1:PORT and a tiny "other host" page on
// 127.0.0.2:PORT, as the nginx runner serves them. It counts the requests it
// answered into COUNT_FILE (rewritten every second) and ends by itself after
// LIFETIME seconds.
//   delay_server WWW_DIR PORT DELAY_MS COUNT_FILE [LIFETIME_S]
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr std::size_t kThreads = 64;  // more than every peer's connections together

void delayEveryAnswer(httplib::Server& server, std::chrono::milliseconds delay,
                      std::atomic<long>& count) {
  server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  server.set_keep_alive_max_count(100000);
  server.set_keep_alive_timeout(30);
  server.set_tcp_nodelay(true);
  server.set_pre_routing_handler([delay, &count](const httplib::Request&, httplib::Response&) {
    std::this_thread::sleep_for(delay);
    ++count;
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: delay_server WWW_DIR PORT DELAY_MS COUNT_FILE [LIFETIME_S]\n");
    return 2;
  }
  const std::string www = argv[1];
  const int port = std::stoi(argv[2]);
  const std::chrono::milliseconds delay(std::stol(argv[3]));
  const std::string countFile = argv[4];
  const std::chrono::seconds lifetime(argc > 5 ? std::stol(argv[5]) : 900);

  std::atomic<long> count{0};
  httplib::Server site, other;
  delayEveryAnswer(site, delay, count);
  delayEveryAnswer(other, delay, count);
  if (!site.set_mount_point("/", www)) {
    std::fprintf(stderr, "delay_server: %s is no folder\n", www.c_str());
    return 1;
  }
  other.Get(".*", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><body><p>other host</p></body></html>\n", "text/html");
  });
  if (!site.bind_to_port("127.0.0.1", port) || !other.bind_to_port("127.0.0.2", port)) {
    std::fprintf(stderr, "delay_server: port %d is taken\n", port);
    return 1;
  }
  std::thread siteThread([&] { site.listen_after_bind(); });
  std::thread otherThread([&] { other.listen_after_bind(); });
  const auto end = std::chrono::steady_clock::now() + lifetime;
  while (std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::ofstream(countFile, std::ios::trunc) << count.load() << "\n";
  }
  site.stop();
  other.stop();
  siteThread.join();
  otherThread.join();
  return 0;
}
