#include "tarnwick/downloads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fetch/local_file_name.h"
#include "support/fake_host.h"
#include "support/http_server.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;
using enum DownloadStatus;

using Links = std::vector<std::string>;

TEST(LinkList, CleansEachPiece) {
  const std::string a499 = "http://a/" + std::string(490, 'x');
  const std::string b101 = "http://b/" + std::string(92, 'y');
  const std::string c600 = "http://c/" + std::string(591, 'z');
  const std::vector<std::pair<std::string, Links>> rows{
      // Either line end, none at the end; trailing spaces go only where no line end follows.
      {"http://a/  \nhttp://b/\r\nhttp://a/  \r\nhttp://c/   ",
       {"http://a/  ", "http://b/", "http://a/  ", "http://c/"}},
      {" http://a/\n\thttp://a/\nHTTP://a/\nhttps://a/\n\"http://a/\"\nsee "
       "http://a/\n\nhttp://k/\n",
       {"http://k/"}},
      // Double quotes first, then single ones, and only at the very end.
      {"http://a/\"\"\nhttp://b/'\"\r\nhttp://c/\"'\nhttp://d/\" \n",
       {"http://a/", "http://b/", "http://c/\"", "http://d/\" "}},
      // Pieces of 499 bytes: one that begins inside an address is dropped.
      {a499 + b101 + "\r\n" + c600 + "\n" + a499 + "\r\nhttp://d/",
       {a499, b101, c600.substr(0, 499), a499, "http://d/"}},
  };
  for (const auto& [text, expected] : rows) {
    std::istringstream in(text);
    EXPECT_EQ(readLinkList(in), expected) << text;
  }
}

TEST(LinkList, FileWithoutLinksShowsTheFormatHintUnreadableOneNothing) {
  TempDir dir;
  FakeHost host;
  for (const auto& path : {dir.path() / "missing.txt", dir.path()}) {
    const LinkListFile result = loadLinkList(host, path);
    EXPECT_EQ(result.status, LinkListFile::Status::CannotOpen) << path;
    EXPECT_NE(result.reason.find(path.string()), std::string::npos) << result.reason;
  }
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(loadLinkList(host, dir.write("b.txt", "HTTPS://a/\n x\n")).status,
            LinkListFile::Status::NoLinks);
  EXPECT_EQ(host.asked, std::vector<std::string>{messages::kNoLinksFound});
}

long entries(const fs::path& dir) { return std::distance(fs::directory_iterator(dir), {}); }

class Downloads : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t i = 0; i < 5000; ++i) content += char('a' + (i * 7 + i / 26) % 26);
    server.serve("/f/pack.zip", content);
    server.serve("/f/other.zip", "other");
    server.serve("/f/empty.zip", "");
    server.serve("/d/index.html?x=1", "page");
    Page broken = Page::html(content);
    broken.fault = Fault::ResetMidBody;
    broken.cutAt = 3000;
    server.serve("/f/broken.zip", broken);
  }
  std::string url(const std::string& path) const { return server.base() + path; }
  // Where a server listened and stopped: connections are refused.
  static std::string refusedAddress() { return HttpServer().base() + "/gone.zip"; }

  ProxyEnvironment direct{std::nullopt};
  HttpServer server;
  FakeHost host;
  TempDir dir;
  std::string content;
};

// saved.bin keeps its old bytes unless a whole body arrived for it.
TEST_F(Downloads, OneAddressStoredWholeOrNotAtAll) {
  const fs::path saved = dir.write("saved.bin", "old");
  std::vector<std::int64_t> seen;
  std::size_t stopAt = 0;
  const DownloadObserver observer{
      .progress = [&](const TransferProgress& p) { seen.push_back(p.bytes); },
      .stopRequested = [&] { return stopAt > 0 && seen.size() >= stopAt; }};
  const struct {
    std::string address;
    fs::path target;
    DownloadStatus status;
    std::size_t shown, stopAt = 0;
  } rows[] = {
      {url("/f/missing.zip"), saved, NoFile, 0},  // 404
      {url("/f/empty.zip"), saved, NothingToRead, 0},
      {url("/f/broken.zip"), saved, NetworkError, 1},  // reset mid-body
      {refusedAddress(), saved, NetworkError, 1},
      {url("/f/pack.zip"), dir.path() / "no" / "t", CannotWrite, 1},
      {url("/f/pack.zip"), dir.path(), CannotWrite, 1},
      {url("/f/pack.zip"), "/proc/t", CannotWrite, 1},  // refused even to root
      {url("/f/pack.zip"), saved, Stopped, 0, 2},
      {url("/f/pack.zip"), saved, Stored, 0},
  };
  for (const auto& row : rows) {
    host.asked.clear();
    seen.clear();
    stopAt = row.stopAt;
    const DownloadOutcome outcome = downloadAddress(host, row.address, row.target, observer);
    EXPECT_EQ(outcome.status, row.status) << row.address << " " << row.target;
    EXPECT_EQ(host.asked.size(), row.shown) << row.address;
    if (row.status == CannotWrite)
      EXPECT_NE(outcome.reason.find(row.target.string()), std::string::npos);
    EXPECT_EQ(readFile(saved), row.status == Stored ? content : "old") << row.address;
  }
  EXPECT_EQ(seen, (std::vector<std::int64_t>{1024, 2048, 3072, 4096, 5000}));
  EXPECT_GE(host.pumps, 5);
  EXPECT_EQ(host.progress, std::vector<int>(2 * std::size(rows), 0));  // reset before and after
  EXPECT_EQ(entries(dir.path()), 1);
}

TEST_F(Downloads, ListGoesOnPastEveryKindOfFailure) {
  const std::vector<std::string> links{
      url("/f/pack.zip"),  url("/f/missing.zip"), url("/f/broken.zip"),     refusedAddress(),
      url("/f/empty.zip"), url("/f/other.zip"),   url("/d/index.html?x=1"), url("/f/pack.zip")};
  const LinkListDownload result = downloadLinks(host, links, dir.path());
  std::vector<DownloadStatus> statuses;
  for (const DownloadOutcome& outcome : result.outcomes) statuses.push_back(outcome.status);
  EXPECT_EQ(statuses, (std::vector{Stored, NoFile, NetworkError, NetworkError, NothingToRead,
                                   Stored, Stored, Stored}));
  EXPECT_EQ(host.asked.size(), 2u);  // the broken transfer and the refused connection
  EXPECT_EQ(entries(dir.path()), 3);
  EXPECT_EQ(readFile(dir.path() / "pack.zip"), content);
  EXPECT_EQ(readFile(dir.path() / "other.zip"), "other");
  EXPECT_EQ(readFile(dir.path() / localFileName(links[6])), "page");
  EXPECT_EQ(server.requestCount("/f/pack.zip"), 2u);  // a duplicate is fetched again
  // A file in place of the folder: every address is still tried and reported.
  const fs::path file = dir.path() / "pack.zip";
  EXPECT_EQ(downloadLinks(host, {links[5], links[6]}, file).storedCount(), 0u);
  EXPECT_EQ(host.asked.size(), 4u);
  EXPECT_EQ(readFile(file), content);
}

// A stop that comes once every byte is in keeps the body; one that comes
// before ends the download without a file, even while a read waits.
TEST_F(Downloads, AStopAfterTheLastByteKeepsTheBody) {
  server.serve("/f/slow.zip", Page::chunked(content, 1000, std::chrono::milliseconds(300)));
  const fs::path saved = dir.path() / "saved.zip";
  const struct {
    std::string path;
    std::int64_t stopAtBytes;
    DownloadStatus status;
  } rows[] = {
      {"/f/pack.zip", 5000, Stored},  // the last block read, then the stop
      {"/f/slow.zip", 5000, Stored},  // without a Content-Length
      {"/f/slow.zip", 1000, Stopped},
  };
  for (const auto& row : rows) {
    std::int64_t bytes = 0;
    const DownloadObserver observer{
        .progress = [&](const TransferProgress& p) { bytes = p.bytes; },
        .stopRequested = [&] { return bytes >= row.stopAtBytes; }};
    const DownloadOutcome outcome = downloadAddress(host, url(row.path), saved, observer);
    EXPECT_EQ(outcome.status, row.status) << row.path << " " << row.stopAtBytes;
    EXPECT_EQ(fs::exists(saved), row.status == Stored) << row.path;
    if (row.status == Stored) {
      EXPECT_EQ(readFile(saved), content);
    }
    fs::remove(saved);
  }
  EXPECT_EQ(entries(dir.path()), 0);
}

TEST(ProposedDownloadPath, FolderSlashAndLocalName) {
  const std::string zip = "http://www.a.com/get/tool.zip";
  EXPECT_EQ(proposedDownloadPath("/home/me", zip), "/home/me/tool.zip");
  EXPECT_EQ(proposedDownloadPath("/home/me/", zip), "/home/me/tool.zip");
  EXPECT_EQ(proposedDownloadPath("", zip), "tool.zip");
  EXPECT_EQ(proposedDownloadPath("/home/me", "(1) 'word' "), "/home/me/");
}

}  // namespace
}  // namespace tarnwick::test
