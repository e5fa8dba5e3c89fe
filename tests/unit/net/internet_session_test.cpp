#include "net/internet_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/fake_host.h"
#include "support/http_server.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::Page;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using Sizes = std::vector<std::size_t>;

std::string pattern(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  return text;
}

// Reads the file in chunks of 1024 into body, recording each chunk's size.
void readAll(RemoteFile& file, std::string& body, Sizes* sizes = nullptr) {
  char buffer[1024];
  while (std::size_t n = file.read(buffer, sizeof buffer)) {
    body.append(buffer, n);
    if (sizes) sizes->push_back(n);
  }
}

class InternetSessionTest : public ::testing::Test {
 protected:
  std::string at(const std::string& path) const { return server.base() + path; }
  std::unique_ptr<RemoteFile> open(const std::string& path) { return session->openUrl(at(path)); }
  // The whole body of an address, or "(no file)".
  std::string get(const std::string& address) {
    const auto file = session->openUrl(address);
    std::string body;
    if (file) readAll(*file, body);
    return file ? body : "(no file)";
  }

  test::ProxyEnvironment direct{std::nullopt};
  test::HttpServer server;
  test::FakeHost host;
  std::unique_ptr<InternetSession> session =
      InternetSession::open(host, SessionOptions{.stallTimeout = std::chrono::seconds(1)});
};

TEST_F(InternetSessionTest, EveryFramingIsReadInFullChunksOf1024) {
  // A body past the transfer's buffer cap pauses it until the reader catches up.
  const Page rows[] = {Page::html(pattern(5000)), Page::html(""),
                       Page::html(pattern(3 * 1024 * 1024 + 17)),
                       Page::chunked(pattern(3000), 100, std::chrono::milliseconds(1)),
                       Page::faulty(Fault::UntilClose, pattern(2500))};
  for (const Page& page : rows) {
    server.serve("/body", page);
    const auto file = open("/body");
    ASSERT_NE(file, nullptr);
    const std::int64_t length = file->getLength();
    const auto size = static_cast<std::int64_t>(page.body.size());
    // Without an announced length: what is already there, never 0 while data come.
    if (page.fault == Fault::None)
      EXPECT_EQ(length, size);
    else
      EXPECT_TRUE(length > 0 && length <= size) << length;
    Sizes sizes, expected(page.body.size() / 1024, 1024);
    if (page.body.size() % 1024) expected.push_back(page.body.size() % 1024);
    std::string body;
    readAll(*file, body, &sizes);
    EXPECT_EQ(body, page.body);
    EXPECT_EQ(sizes, expected) << size;
  }
}

TEST_F(InternetSessionTest, StatusFrom400UpIsNoFileAndRedirectsAreFollowed) {
  // Addresses read to their end one after another share one connection.
  server.serve("/k", pattern(3000));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(get(at("/k")), pattern(3000));
  for (const auto& r : server.requests()) EXPECT_EQ(r.remotePort, server.requests()[0].remotePort);
  for (int status : {200, 203, 399, 400, 404, 410, 500, 503}) {
    server.serve("/s", Page::html("body", status));
    EXPECT_EQ(get(at("/s")), status < 400 ? "body" : "(no file)") << status;
  }
  for (const auto& r : server.requests()) {  // always a fresh copy, as stored
    EXPECT_THAT(r.headers, ::testing::Contains(::testing::Pair("Cache-Control", "no-cache")));
    EXPECT_THAT(r.headers, ::testing::Contains(::testing::Pair("Pragma", "no-cache")));
    EXPECT_EQ(r.headers.count("Accept-Encoding"), 0u);
  }
  server.serve("/target", "arrived");
  for (int i = 1; i <= 11; ++i)
    server.serve(
        "/hop" + std::to_string(i),
        Page::redirect(i % 2 ? 302 : 301, i == 1 ? "/target" : "/hop" + std::to_string(i - 1)));
  server.serve("/moved", Page::redirect(301, "/nowhere"));
  EXPECT_EQ(get(at("/hop10")), "arrived");
  EXPECT_THAT([&] { open("/hop11"); }, ThrowsMessage<InternetError>(HasSubstr("redirects")));
  EXPECT_EQ(get(at("/moved")), "(no file)");
  // Neither the scheme's letter case nor the address's length is in the way.
  const std::string longPath = "/" + std::string(3000, 'p') + ".html";
  server.serve(longPath, "long");
  EXPECT_EQ(get("HTTP://" + server.base().substr(7) + "/target"), "arrived");
  EXPECT_EQ(get(at(longPath)), "long");
}

TEST_F(InternetSessionTest, FailuresAreErrorsWithTheirTextAndTheSessionGoesOn) {
  // Nothing is looked up for an address of another scheme.
  for (std::string address : {"ftp://127.0.0.1/x", "file:///etc/passwd", "127.0.0.1/x", "",
                              "www.example.com", " http://127.0.0.1/"})
    EXPECT_THAT([&] { get(address); },
                ThrowsMessage<InternetError>(HasSubstr("Unsupported protocol")))
        << address;
  EXPECT_THAT([&] { get("http://127.0.0.1:1/"); },
              ThrowsMessage<InternetError>(HasSubstr("127.0.0.1")));
  // Bytes that came before the connection dropped are handed out first.
  server.serve("/reset", Page::faulty(Fault::ResetMidBody, pattern(4000), 1500));
  const auto file = open("/reset");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->getLength(), 4000);
  std::string got;
  EXPECT_THROW(readAll(*file, got), InternetError);
  EXPECT_EQ(got, pattern(1500));
  // Silence ends with a time-out, pumping meanwhile.
  server.serve("/stall", Page::faulty(Fault::Stall, pattern(3000), 1024));
  server.serve("/silent", Page::faulty(Fault::NoResponse));
  const auto stalled = open("/stall");
  char buffer[1024];
  ASSERT_EQ(stalled->read(buffer, sizeof buffer), 1024u);
  const int pumpsBefore = host.pumps;
  EXPECT_THROW(stalled->read(buffer, sizeof buffer), InternetError);
  EXPECT_GE(host.pumps - pumpsBefore, 20);  // a second of waiting, a pump at least every 50 ms
  EXPECT_THROW(open("/silent"), InternetError);
  server.serve("/after", "fine");
  EXPECT_EQ(get(at("/after")), "fine");
}

TEST_F(InternetSessionTest, AnswerWaitedForWithinTheStallTimeIsReadWhole) {
  // A slow start is not a stall; a start slower than the stall time is.
  Page slow = Page::html(pattern(3000));
  slow.responseDelay = std::chrono::milliseconds(300);
  server.serve("/slow", slow);
  EXPECT_EQ(get(at("/slow")), pattern(3000));
  slow.responseDelay = std::chrono::milliseconds(3000);
  server.serve("/slower", slow);
  EXPECT_THROW(open("/slower"), InternetError);
  server.serve("/after", "fine");
  EXPECT_EQ(get(at("/after")), "fine");
}

// A session that fetches up to three addresses ahead of the one being read.
class ReadAheadTest : public InternetSessionTest {
 protected:
  void reopen(SessionOptions options) {
    options.stallTimeout = std::chrono::seconds(1);
    session = InternetSession::open(host, options);
  }
  std::vector<std::string_view> views(const std::vector<std::string>& addresses) {
    return {addresses.begin(), addresses.end()};
  }
  // Reads a body that trickles in for a while, so the addresses ahead travel meanwhile.
  void readTrickle() {
    server.serve("/current", Page::chunked(pattern(4000), 100, std::chrono::milliseconds(2)));
    EXPECT_EQ(get(at("/current")), pattern(4000));
  }
};

TEST_F(ReadAheadTest, AddressesFetchedAheadAreRequestedOnceAndReadWhole) {
  reopen({.parallel = 4});
  ASSERT_EQ(session->readAheadRoom(), 4u);
  const std::vector<std::string> next{at("/n1"), at("/n2"), at("/n3")};
  server.serve("/n1", pattern(2 * 1024 * 1024));  // larger than a reader's own buffer
  server.serve("/n2", Page::chunked(pattern(5000), 700));
  server.serve("/n3", Page::faulty(Fault::UntilClose, pattern(3000)));
  session->readAhead(views(next));
  readTrickle();
  session->readAhead(views(next));  // already on their way
  EXPECT_EQ(get(at("/n1")), pattern(2 * 1024 * 1024));
  EXPECT_EQ(get(at("/n2")), pattern(5000));
  EXPECT_EQ(get(at("/n3")), pattern(3000));
  for (const std::string& address : next) EXPECT_EQ(server.requestCount(address), 1u) << address;
  EXPECT_EQ(session->bytesHeldAhead(), 0u);
  // Left out of a later list: dropped, and nothing of it leaks into another address.
  server.serve("/dropped", pattern(3000));
  session->readAhead(views({at("/dropped")}));
  session->readAhead({});
  server.serve("/other", "other");
  EXPECT_EQ(get(at("/other")), "other");
  EXPECT_EQ(session->bytesHeldAhead(), 0u);
  // Refused addresses and failures ahead stay silent until opened.
  server.serve("/reset", Page::faulty(Fault::ResetMidBody, pattern(4000), 1500));
  session->readAhead(views({"ftp://127.0.0.1/x", at("/nothing-here"), at("/reset")}));
  readTrickle();
  EXPECT_EQ(get(at("/nothing-here")), "(no file)");
  EXPECT_THAT([&] { get("ftp://127.0.0.1/x"); },
              ThrowsMessage<InternetError>(HasSubstr("Unsupported protocol")));
  const auto reset = open("/reset");
  ASSERT_NE(reset, nullptr);
  std::string got;
  EXPECT_THROW(readAll(*reset, got), InternetError);
  EXPECT_EQ(got, pattern(1500));
}

TEST_F(ReadAheadTest, ConnectionsPerHostAndBytesHeldAheadAreBounded) {
  // Slow answers keep every request under way at once, as far as the limits let them.
  reopen({.parallel = 8, .perHost = 3});
  std::vector<std::string> next;
  for (int i = 0; i < 8; ++i) {
    Page page = Page::html(pattern(1000 + i));
    page.responseDelay = std::chrono::milliseconds(100);
    server.serve("/p" + std::to_string(i), page);
    next.push_back(at("/p" + std::to_string(i)));
  }
  session->readAhead(views(next));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(get(next[i]), pattern(1000 + i)) << i;
  std::set<int> ports;
  for (const auto& r : server.requests()) ports.insert(r.remotePort);
  EXPECT_LE(ports.size(), 3u);
  EXPECT_GE(ports.size(), 2u);  // not one after another on one connection
  // Bodies larger than their share wait, paused, for their turn and then stream whole.
  reopen({.parallel = 4, .aheadBytesPerAddress = 64 * 1024, .aheadBytesInAll = 100 * 1024});
  const std::vector<std::string> big{at("/b1"), at("/b2"), at("/b3")};
  for (const std::string& address : big) server.serve(address, pattern(1024 * 1024));
  session->readAhead(views(big));
  readTrickle();
  EXPECT_GT(session->bytesHeldAhead(), 0u);
  EXPECT_LE(session->bytesHeldAhead(), 100u * 1024);
  for (const std::string& address : big) EXPECT_EQ(get(address), pattern(1024 * 1024));
  EXPECT_EQ(session->bytesHeldAhead(), 0u);
}

TEST_F(ReadAheadTest, RequestsToOneHostKeepTheirDelay) {
  // A lower bound only: three requests 150 ms apart cannot all start within 300 ms.
  for (const int parallel : {1, 4}) {
    reopen({.parallel = parallel, .requestDelay = std::chrono::milliseconds(150)});
    const std::vector<std::string> next{at("/d1"), at("/d2"), at("/d3")};
    for (const std::string& address : next) server.serve(address, "d");
    const auto begin = std::chrono::steady_clock::now();
    session->readAhead(views(next));
    for (const std::string& address : next) EXPECT_EQ(get(address), "d");
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(300)) << parallel;
  }
}

}  // namespace
}  // namespace tarnwick
