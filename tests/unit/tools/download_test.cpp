#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fetch/local_file_name.h"
#include "support/fake_host.h"
#include "support/http_server.h"
#include "support/temp_dir.h"
#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

std::string body(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  return text;
}

std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir)) found.push_back(entry.path().filename());
  std::sort(found.begin(), found.end());
  return found;
}

// An address on 127.0.0.1 where nothing listens.
std::string refusedAddress() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);  // bound, never listened, now closed: connections are refused
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/gone.zip";
}

class Downloads : public ::testing::Test {
 protected:
  void SetUp() override {
    server.serve("/files/pack.zip", Page::html(content));
    server.serve("/files/other.zip", Page::html("other"));
    server.serve("/files/empty.zip", Page::html(""));
    Page broken = Page::html(content);
    broken.fault = Fault::ResetMidBody;
    broken.cutAt = 3000;
    server.serve("/files/broken.zip", broken);
  }
  std::string url(const std::string& path) const { return server.base() + path; }

  ProxyEnvironment direct{std::nullopt};
  HttpServer server;
  FakeHost host;
  TempDir dir;
  const std::string content = body(5000);
};

TEST_F(Downloads, StoresTheWholeBodyPumpingPerBlock) {
  const fs::path target = dir.path() / "saved.bin";
  std::vector<std::int64_t> seen;
  DownloadObserver observer;
  observer.progress = [&](const TransferProgress& p) {
    seen.push_back(p.bytes);
    EXPECT_EQ(p.length, 5000);
  };
  const DownloadOutcome outcome = downloadAddress(host, url("/files/pack.zip"), target, observer);
  EXPECT_EQ(outcome.status, DownloadStatus::Stored) << outcome.reason;
  EXPECT_EQ(outcome.bytes, 5000);
  EXPECT_EQ(readFile(target), content);
  EXPECT_EQ(seen, (std::vector<std::int64_t>{1024, 2048, 3072, 4096, 5000}));
  EXPECT_GE(host.pumps, 5);
  EXPECT_EQ(host.progress, (std::vector<int>{0, 0}));
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"saved.bin"});
}

TEST_F(Downloads, ErrorStatusAndEmptyBodyMakeNoFileAndNoMessage) {
  const fs::path target = dir.path() / "saved.bin";
  EXPECT_EQ(downloadAddress(host, url("/files/missing.zip"), target).status, DownloadStatus::NoFile);
  EXPECT_EQ(downloadAddress(host, url("/files/empty.zip"), target).status,
            DownloadStatus::NothingToRead);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(Downloads, BrokenTransferIsShownAndLeavesTheOldFile) {
  const fs::path target = dir.write("saved.bin", "old");
  const DownloadOutcome outcome = downloadAddress(host, url("/files/broken.zip"), target);
  EXPECT_EQ(outcome.status, DownloadStatus::NetworkError);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0], outcome.reason);
  EXPECT_FALSE(outcome.reason.empty());
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"saved.bin"});
  EXPECT_EQ(host.progress, (std::vector<int>{0, 0}));
}

TEST_F(Downloads, UnreachableAddressIsShown) {
  const DownloadOutcome outcome = downloadAddress(host, refusedAddress(), dir.path() / "x");
  EXPECT_EQ(outcome.status, DownloadStatus::NetworkError);
  EXPECT_EQ(host.asked.size(), 1u);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(Downloads, TargetThatCannotBeWrittenIsReported) {
  const fs::path file = dir.write("plain", "x");
  std::vector<fs::path> targets{dir.path() / "no" / "such" / "t", file / "t", dir.path()};
  if (fs::is_directory("/proc")) targets.push_back("/proc/t");  // refused even to root
  for (const fs::path& target : targets) {
    host.asked.clear();
    const DownloadOutcome outcome = downloadAddress(host, url("/files/pack.zip"), target);
    EXPECT_EQ(outcome.status, DownloadStatus::CannotWrite) << target;
    ASSERT_EQ(host.asked.size(), 1u) << target;
    EXPECT_NE(host.asked[0].find(target.string()), std::string::npos) << host.asked[0];
  }
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"plain"});
}

TEST_F(Downloads, StopRequestRemovesThePartialFile) {
  int blocks = 0;
  DownloadObserver observer;
  observer.progress = [&](const TransferProgress&) { ++blocks; };
  observer.stopRequested = [&] { return blocks >= 2; };
  const DownloadOutcome outcome =
      downloadAddress(host, url("/files/pack.zip"), dir.path() / "t", observer);
  EXPECT_EQ(outcome.status, DownloadStatus::Stopped);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(Downloads, ListGoesOnAfterEveryKindOfFailure) {
  const std::vector<std::string> links{url("/files/pack.zip"),  url("/files/missing.zip"),
                                       url("/files/broken.zip"), refusedAddress(),
                                       url("/files/empty.zip"),  url("/files/other.zip"),
                                       url("/files/pack.zip")};
  std::vector<std::size_t> indexes;
  DownloadObserver observer;
  observer.progress = [&](const TransferProgress& p) {
    EXPECT_EQ(p.count, links.size());
    if (indexes.empty() || indexes.back() != p.index) indexes.push_back(p.index);
  };
  const LinkListDownload result = downloadLinks(host, links, dir.path(), observer);
  ASSERT_EQ(result.outcomes.size(), links.size());
  const std::vector<DownloadStatus> expected{
      DownloadStatus::Stored,       DownloadStatus::NoFile, DownloadStatus::NetworkError,
      DownloadStatus::NetworkError, DownloadStatus::NothingToRead, DownloadStatus::Stored,
      DownloadStatus::Stored};
  for (std::size_t i = 0; i < links.size(); ++i)
    EXPECT_EQ(result.outcomes[i].status, expected[i]) << links[i];
  EXPECT_EQ(result.storedCount(), 3u);
  EXPECT_EQ(host.asked.size(), 2u);  // the broken transfer and the refused connection
  EXPECT_EQ(indexes, (std::vector<std::size_t>{0, 2, 5, 6}));
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"other.zip", "pack.zip"}));
  EXPECT_EQ(readFile(dir.path() / "pack.zip"), content);
  EXPECT_EQ(server.requestCount("/files/pack.zip"), 2u);  // a duplicate is fetched again
}

TEST_F(Downloads, ListIntoAFileInsteadOfAFolderReportsEveryAddress) {
  const fs::path file = dir.write("plain", "x");
  const LinkListDownload result =
      downloadLinks(host, {url("/files/pack.zip"), url("/files/other.zip")}, file);
  ASSERT_EQ(result.outcomes.size(), 2u);
  for (const DownloadOutcome& outcome : result.outcomes)
    EXPECT_EQ(outcome.status, DownloadStatus::CannotWrite);
  EXPECT_EQ(host.asked.size(), 2u);
  EXPECT_EQ(readFile(file), "x");
}

TEST_F(Downloads, ListStoresUnderTheLocalFileName) {
  const std::string page = url("/dir/index.html?x=1");
  server.serve("/dir/index.html?x=1", "page");
  const LinkListDownload result = downloadLinks(host, {page}, dir.path());
  ASSERT_EQ(result.storedCount(), 1u);
  EXPECT_EQ(readFile(dir.path() / localFileName(page)), "page");
  EXPECT_EQ(result.outcomes[0].target, dir.path() / localFileName(page));
}

TEST(ProposedDownloadPath, FolderSlashAndLocalName) {
  EXPECT_EQ(proposedDownloadPath("/home/me", "http://www.a.com/get/tool.zip"), "/home/me/tool.zip");
  EXPECT_EQ(proposedDownloadPath("/home/me/", "http://www.a.com/get/tool.zip"), "/home/me/tool.zip");
  EXPECT_EQ(proposedDownloadPath("", "http://www.a.com/get/tool.zip"), "tool.zip");
  EXPECT_EQ(proposedDownloadPath("/home/me", "(1) 'word' "), "/home/me/");
}

}  // namespace
}  // namespace tarnwick::test
