#include <gtest/gtest.h>

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

// Exit 0 when everything was stored, 1 when something failed, 2 for a usage
// error, which fetches and writes nothing.
TEST_F(DownloadCli, ExitStatusAndReport) {
  const std::string list = dir.write("list.txt", url("/get/tool.zip") + "\n"),
                    none = dir.write("none.txt", "HTTPS://a.org/\n https://b.org/\n"),
                    here = dir.path().string(), tool = url("/get/tool.zip"), t = file("t"),
                    failed = "0 stored (0 bytes), 1 failed\n", missing = url("/get/missing.zip");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out, inError;
  } rows[] = {
      {{"download", tool, "-o", file("saved.bin")}, 0, "1 stored (3003 bytes), 0 failed\n"},
      {{"download", missing, "-o", t}, 1, failed, "not stored: " + missing + " (the server"},
      {{"download", url("/get/broken.zip"), "-o", t}, 1, failed, "(network error)"},
      {{"download", tool, "-o", file("no/dir/t")}, 1, failed, file("no/dir/t")},
      {{"download-list", none, "-d", here}, 1, "", "No links are found.\n\nCheck format"},
      {{"download", tool}, 2},
      {{"download", "-o", file("x")}, 2},
      {{"download", tool, "-o", ""}, 2},
      {{"download-list", file("missing.txt"), "-d", here}, 2},
      {{"download-list", list, "-d", file("missing")}, 2},
      {{"download-list", list, "-d", list}, 2},
      {{"download-list", list}, 2},
  };
  for (const auto& row : rows) {
    const auto r = runCli(row.args);
    EXPECT_EQ(r.exitCode, row.exitCode) << row.args[1] << r.err;
    EXPECT_EQ(r.out, row.out) << row.args[1];
    // No progress line when standard error is not a terminal.
    if (row.exitCode == 0) EXPECT_EQ(r.err, "");
    if (row.exitCode != 0) EXPECT_NE(r.err.find(row.inError), std::string::npos) << r.err;
  }
  EXPECT_EQ(readFile(file("saved.bin")), content);
  EXPECT_EQ(server.requests().size(), 4u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);
}

TEST_F(DownloadCli, ListGoesOnAndSumsUp) {
  const auto list =
      dir.write("list.txt", url("/get/tool.zip") + "\r\n " + url("/get/indented.zip") + "\r\n" +
                                url("/get/broken.zip") + "\"\r\n" + url("/get/missing.zip") +
                                "\r\n" + url("/get/notes.zip"));
  fs::create_directory(file("out"));
  const auto r = runCli({"download-list", list.string(), "-d", file("out")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "2 stored (3008 bytes), 2 failed\n");
  for (const char* failed : {"/get/broken.zip (network error)", "/get/missing.zip (the server"})
    EXPECT_NE(r.err.find("not stored: " + url(failed)), std::string::npos) << r.err;
  EXPECT_EQ(readFile(file("out/tool.zip")), content);
  EXPECT_EQ(readFile(file("out/notes.zip")), "notes");
  EXPECT_EQ(std::distance(fs::directory_iterator(file("out")), {}), 2);
  EXPECT_EQ(server.requestCount("/get/indented.zip"), 0u);
}

// The summary on standard output is the downloads' result: when it cannot be
// written the run failed, with a message.
TEST_F(DownloadCli, AFullStandardOutputFailsTheRun) {
  const std::string list = dir.write("list.txt", url("/get/tool.zip") + "\n").string();
  const std::string cli = TARNWICK_CLI_PATH;
  const std::vector<std::string> commands{
      "'" + cli + "' download-list '" + list + "' -d '" + dir.path().string() + "' > /dev/full",
      "'" + cli + "' download '" + url("/get/tool.zip") + "' -o '" + file("one.zip") +
          "' > /dev/full",
  };
  for (const auto& command : commands) {
    const auto r = runProcess("/bin/sh", {"-c", command});
    EXPECT_EQ(r.exitCode, 1) << command << "\n" << r.err;
    EXPECT_NE(r.err.find("cannot write the results to standard output: No space left on device"),
              std::string::npos)
        << r.err;
  }
  EXPECT_EQ(readFile(file("tool.zip")), content);  // the files themselves are stored
}

}  // namespace
}  // namespace tarnwick::test
