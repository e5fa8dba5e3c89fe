#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

class DownloadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    server.serve("/get/tool.zip", content);
    server.serve("/get/notes.zip", "notes");
    Page broken = Page::html(content);
    broken.fault = Fault::ResetMidBody;
    broken.cutAt = 2500;
    server.serve("/get/broken.zip", broken);
  }
  std::string url(const std::string& path) const { return server.base() + path; }
  std::string file(const char* name) const { return (dir.path() / name).string(); }

  ProxyEnvironment direct{std::nullopt};  // inherited by the program
  HttpServer server;
  TempDir dir;
  const std::string content = std::string(3000, 'z') + "end";
};

TEST_F(DownloadCli, OneAddressIntoAFile) {
  const auto r = runCli({"download", url("/get/tool.zip"), "-o", file("saved.bin")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(file("saved.bin")), content);
  EXPECT_EQ(r.out, "1 stored (3003 bytes), 0 failed\n");
  EXPECT_EQ(r.err, "");  // no progress line when standard error is not a terminal
}

TEST_F(DownloadCli, FailuresExitWithOneAndLeaveNoFile) {
  struct Row {
    std::string address;
    std::string expectedInError;
  };
  const std::vector<Row> rows{
      {url("/get/missing.zip"), "the server answered with an error status"},
      {url("/get/broken.zip"), "network error"},
      {"ftp://example.org/x", "network error"},
  };
  for (const Row& row : rows) {
    const auto r = runCli({"download", row.address, "-o", file("saved.bin")});
    EXPECT_EQ(r.exitCode, 1) << row.address;
    EXPECT_NE(r.err.find(row.expectedInError), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "0 stored (0 bytes), 1 failed\n");
  }
  const auto r = runCli({"download", url("/get/tool.zip"), "-o", file("no/such/dir/x")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(file("no/such/dir/x")), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(DownloadCli, ListGoesOnAndSumsUp) {
  const auto list = dir.write("list.txt", url("/get/tool.zip") + "\r\n" +
                                              " " + url("/get/indented.zip") + "\r\n" +
                                              url("/get/broken.zip") + "\"\r\n" +
                                              url("/get/missing.zip") + "\r\n" +
                                              url("/get/notes.zip"));
  fs::create_directory(dir.path() / "out");
  const auto r = runCli({"download-list", list.string(), "-d", file("out")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "2 stored (3008 bytes), 2 failed\n");
  EXPECT_NE(r.err.find("not stored: " + url("/get/broken.zip") + " (network error)"),
            std::string::npos) << r.err;
  EXPECT_NE(r.err.find("not stored: " + url("/get/missing.zip")), std::string::npos) << r.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path() / "out"))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"notes.zip", "tool.zip"}));
  EXPECT_EQ(server.requestCount("/get/indented.zip"), 0u);
}

TEST_F(DownloadCli, ListWithEveryAddressStoredExitsWithZero) {
  const auto list = dir.write("list.txt", url("/get/tool.zip") + "\n" + url("/get/notes.zip") + "\n");
  const auto r = runCli({"download-list", list.string(), "-d", dir.path().string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(dir.path() / "tool.zip"), content);
}

TEST_F(DownloadCli, ListWithoutLinksShowsTheFormatHint) {
  const auto list = dir.write("list.txt", "HTTPS://a.org/\n https://b.org/\n");
  const auto r = runCli({"download-list", list.string(), "-d", dir.path().string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("No links are found.\n\nCheck format the file with the list of links.\n"
                       "It has to be text file with one link per line."),
            std::string::npos) << r.err;
}

TEST_F(DownloadCli, UnwritableFolderIsReportedForEveryAddress) {
  if (!fs::is_directory("/proc")) GTEST_SKIP() << "needs /proc";
  const auto list = dir.write("list.txt", url("/get/tool.zip") + "\n" + url("/get/notes.zip") + "\n");
  const auto r = runCli({"download-list", list.string(), "-d", "/proc"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "0 stored (0 bytes), 2 failed\n");
  EXPECT_NE(r.err.find("/proc/tool.zip"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("/proc/notes.zip"), std::string::npos) << r.err;
}

TEST_F(DownloadCli, UsageErrorsWriteNothing) {
  const auto list = dir.write("list.txt", url("/get/tool.zip") + "\n");
  const std::vector<std::vector<std::string>> rows{
      {"download", url("/get/tool.zip")},
      {"download", "-o", file("x")},
      {"download", url("/get/tool.zip"), "-o", ""},
      {"download-list", file("missing.txt"), "-d", dir.path().string()},
      {"download-list", list.string(), "-d", file("missing")},
      {"download-list", list.string(), "-d", list.string()},
      {"download-list", list.string()},
  };
  for (const auto& row : rows) {
    const auto r = runCli(row);
    EXPECT_EQ(r.exitCode, 2) << r.err;
  }
  EXPECT_EQ(server.requests().size(), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tarnwick::test
