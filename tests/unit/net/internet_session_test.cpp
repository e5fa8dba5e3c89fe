#include "net/internet_session.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_host.h"
#include "support/http_server.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::FakeHost;
using test::HttpServer;
using test::Page;
using test::ProxyEnvironment;

std::string pattern(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  return text;
}

// Reads the whole file in chunks of 1024, recording each chunk's size.
std::string readAll(RemoteFile& file, std::vector<std::size_t>* sizes = nullptr) {
  std::string body;
  char buffer[1024];
  while (std::size_t n = file.read(buffer, sizeof buffer)) {
    body.append(buffer, n);
    if (sizes) sizes->push_back(n);
  }
  return body;
}

class InternetSessionTest : public ::testing::Test {
 protected:
  std::unique_ptr<InternetSession> openSession(SessionOptions options = {}) {
    auto session = InternetSession::open(host, options);
    EXPECT_NE(session, nullptr);
    return session;
  }

  ProxyEnvironment direct{std::nullopt};
  HttpServer server;
  FakeHost host;
};

TEST_F(InternetSessionTest, ReadsWholeBodyInFullChunksWithAnnouncedLength) {
  const std::string body = pattern(5000);
  server.serve("/page.html", body);
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/page.html");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->getLength(), 5000);
  std::vector<std::size_t> sizes;
  EXPECT_EQ(readAll(*file, &sizes), body);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1024, 1024, 1024, 1024, 904}));
  EXPECT_EQ(file->read(nullptr, 0), 0u);
}

TEST_F(InternetSessionTest, LargeBodyIsReadWholeWhateverTheBuffering) {
  const std::string body = pattern(3 * 1024 * 1024 + 17);
  server.serve("/large.bin", body);
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/large.bin");
  ASSERT_NE(file, nullptr);
  std::vector<std::size_t> sizes;
  EXPECT_EQ(readAll(*file, &sizes), body);
  EXPECT_EQ(sizes.size(), 3u * 1024 + 1);
  EXPECT_EQ(sizes.back(), 17u);
}

TEST_F(InternetSessionTest, AddressFetchedAheadIsRequestedOnce) {
  // The current body trickles in, so the one ahead (larger than what is taken in
  // ahead of its reader) arrives meanwhile.
  Page trickle = Page::html(pattern(4000));
  trickle.fault = Fault::Chunked;
  trickle.pieceSize = 100;
  trickle.piecePause = std::chrono::milliseconds(1);
  server.serve("/current", trickle);
  server.serve("/next", pattern(2 * 1024 * 1024));
  server.serve("/other", "other");
  auto session = openSession();
  auto current = session->openUrl(server.base() + "/current");
  ASSERT_NE(current, nullptr);
  session->prefetch(server.base() + "/next");
  session->prefetch(server.base() + "/next");  // already on its way
  EXPECT_EQ(readAll(*current), pattern(4000));
  auto next = session->openUrl(server.base() + "/next");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(readAll(*next), pattern(2 * 1024 * 1024));
  EXPECT_EQ(server.requestCount("/next"), 1u);

  // Fetched ahead but not the one opened: dropped, and nothing of it leaks into the other.
  session->prefetch(server.base() + "/current");
  auto other = session->openUrl(server.base() + "/other");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(readAll(*other), "other");
  // Refused addresses and failures ahead stay silent until opened.
  session->prefetch("ftp://127.0.0.1/x");
  session->prefetch(server.base() + "/nothing-here");
  EXPECT_EQ(session->openUrl(server.base() + "/nothing-here"), nullptr);
}

TEST_F(InternetSessionTest, ChunkedBodyArrivingInSmallPiecesStillGivesFullReads) {
  Page page = Page::html(pattern(3000));
  page.fault = Fault::Chunked;
  page.pieceSize = 100;
  page.piecePause = std::chrono::milliseconds(1);
  server.serve("/chunked", page);
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/chunked");
  ASSERT_NE(file, nullptr);
  // Without an announced length, what is already there, and never 0 while data come.
  const std::int64_t length = file->getLength();
  EXPECT_GT(length, 0);
  EXPECT_LE(length, 3000);
  std::vector<std::size_t> sizes;
  EXPECT_EQ(readAll(*file, &sizes), page.body);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1024, 1024, 952}));
}

TEST_F(InternetSessionTest, BodyUntilCloseIsReadWhole) {
  Page page = Page::html(pattern(2500));
  page.fault = Fault::UntilClose;
  server.serve("/until-close", page);
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/until-close");
  ASSERT_NE(file, nullptr);
  EXPECT_GT(file->getLength(), 0);
  EXPECT_EQ(readAll(*file), page.body);
}

TEST_F(InternetSessionTest, EmptyBodyHasLengthZero) {
  server.serve("/empty", "");
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/empty");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->getLength(), 0);
  char buffer[16];
  EXPECT_EQ(file->read(buffer, sizeof buffer), 0u);
}

TEST_F(InternetSessionTest, StatusFrom400UpIsNoFileAndBelowIsAFile) {
  struct Row {
    int status;
    bool file;
  };
  for (Row row : {Row{200, true}, Row{203, true}, Row{399, true}, Row{400, false},
                  Row{404, false}, Row{410, false}, Row{500, false}, Row{503, false}}) {
    const std::string path = "/status-" + std::to_string(row.status);
    server.serve(path, Page::withStatus(row.status, "body of " + path));
    auto session = openSession();
    auto file = session->openUrl(server.base() + path);
    EXPECT_EQ(file != nullptr, row.file) << row.status;
    if (file) {
      EXPECT_EQ(readAll(*file), "body of " + path);
    }
  }
}

TEST_F(InternetSessionTest, FollowsRedirectsUpToTen) {
  server.serve("/target", "arrived");
  for (int i = 1; i <= 11; ++i)
    server.serve("/hop" + std::to_string(i),
                 Page::redirect(i == 1 ? "/target" : "/hop" + std::to_string(i - 1), i % 2 ? 302 : 301));
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/hop10");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readAll(*file), "arrived");
  EXPECT_THROW(session->openUrl(server.base() + "/hop11"), InternetError);
}

TEST_F(InternetSessionTest, RedirectToMissingPageIsNoFile) {
  server.serve("/moved", Page::redirect("/nowhere", 301));
  auto session = openSession();
  EXPECT_EQ(session->openUrl(server.base() + "/moved"), nullptr);
}

TEST_F(InternetSessionTest, AsksForAFreshCopyOnEveryRequest) {
  server.serve("/fresh", "x");
  auto session = openSession();
  ASSERT_NE(session->openUrl(server.base() + "/fresh"), nullptr);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& headers = requests[0].headers;
  auto value = [&](const char* name) {
    auto it = headers.find(name);
    return it == headers.end() ? std::string("(none)") : it->second;
  };
  EXPECT_EQ(value("Cache-Control"), "no-cache");
  EXPECT_EQ(value("Pragma"), "no-cache");
  EXPECT_EQ(value("Accept-Encoding"), "(none)");  // the body's bytes come as stored
}

TEST_F(InternetSessionTest, KeepsOneConnectionForAddressesReadOneAfterAnother) {
  for (int i = 0; i < 5; ++i) server.serve("/k" + std::to_string(i), pattern(3000));
  auto session = openSession();
  for (int i = 0; i < 5; ++i) {
    auto file = session->openUrl(server.base() + "/k" + std::to_string(i));
    ASSERT_NE(file, nullptr);
    readAll(*file);
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 5u);
  for (const auto& r : requests) EXPECT_EQ(r.remotePort, requests[0].remotePort);
}

TEST_F(InternetSessionTest, RefusesOtherSchemesWithoutLookingAnythingUp) {
  auto session = openSession();
  for (std::string address : {"ftp://127.0.0.1/x", "file:///etc/passwd", "127.0.0.1/x", "",
                              "www.example.com", " http://127.0.0.1/"})
    EXPECT_THROW(session->openUrl(address), InternetError) << address;
  // The letter case of the scheme does not matter.
  server.serve("/case", "ok");
  auto upper = "HTTP://" + server.base().substr(7) + "/case";
  auto file = session->openUrl(upper);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readAll(*file), "ok");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(InternetSessionTest, RefusedConnectionIsAnErrorWithCurlsText) {
  std::string address;
  {
    HttpServer gone;
    address = gone.base() + "/x";
  }
  auto session = openSession();
  try {
    session->openUrl(address);
    FAIL() << "no error";
  } catch (const InternetError& e) {
    EXPECT_NE(std::string(e.what()).find("127.0.0.1"), std::string::npos) << e.what();
  }
}

TEST_F(InternetSessionTest, ConnectionDroppedMidBodyGivesWhatCameThenAnError) {
  Page page = Page::html(pattern(4000));
  page.fault = Fault::ResetMidBody;
  page.cutAt = 1500;
  server.serve("/reset", page);
  auto session = openSession();
  auto file = session->openUrl(server.base() + "/reset");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->getLength(), 4000);
  char buffer[1024];
  std::string got;
  EXPECT_THROW(
      {
        while (std::size_t n = file->read(buffer, sizeof buffer)) got.append(buffer, n);
      },
      InternetError);
  EXPECT_EQ(got, page.body.substr(0, 1500));
  // The session stays usable.
  server.serve("/after", "fine");
  auto next = session->openUrl(server.base() + "/after");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(readAll(*next), "fine");
}

TEST_F(InternetSessionTest, StalledBodyEndsWithATimeOutWhilePumping) {
  Page page = Page::html(pattern(3000));
  page.fault = Fault::Stall;
  page.cutAt = 1024;
  server.serve("/stall", page);
  SessionOptions options;
  options.stallTimeout = std::chrono::milliseconds(1000);
  auto session = openSession(options);
  auto file = session->openUrl(server.base() + "/stall");
  ASSERT_NE(file, nullptr);
  char buffer[1024];
  EXPECT_EQ(file->read(buffer, sizeof buffer), 1024u);
  const int pumpsBefore = host.pumps;
  EXPECT_THROW(file->read(buffer, sizeof buffer), InternetError);
  // A second of waiting with a pump at least every 50 ms.
  EXPECT_GE(host.pumps - pumpsBefore, 20);
}

TEST_F(InternetSessionTest, UnansweredRequestEndsWithATimeOut) {
  Page page;
  page.fault = Fault::NoResponse;
  server.serve("/silent", page);
  SessionOptions options;
  options.stallTimeout = std::chrono::milliseconds(1000);
  auto session = openSession(options);
  EXPECT_THROW(session->openUrl(server.base() + "/silent"), InternetError);
}

TEST_F(InternetSessionTest, LongAddressesAreNotCut) {
  const std::string path = "/" + std::string(3000, 'p') + ".html";
  server.serve(path, "long");
  auto session = openSession();
  auto file = session->openUrl(server.base() + path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readAll(*file), "long");
}

TEST(InternetSessionProxyTest, FirstAttemptTakesTheProxyFromTheEnvironment) {
  HttpServer proxy;
  proxy.serve("http://www.nowhere-known.example/a.html", "through the proxy");
  ProxyEnvironment environment(proxy.base());
  FakeHost host;
  auto session = InternetSession::open(host);
  ASSERT_NE(session, nullptr);
  auto file = session->openUrl("http://www.nowhere-known.example/a.html");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readAll(*file), "through the proxy");
  EXPECT_EQ(proxy.requestCount("http://www.nowhere-known.example/a.html"), 1u);
  // A host the proxy does not know is refused as a proxy refuses it.
  EXPECT_EQ(session->openUrl("http://other.example/"), nullptr);
}

}  // namespace
}  // namespace tarnwick
