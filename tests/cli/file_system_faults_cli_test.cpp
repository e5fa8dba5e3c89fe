// Download folders that cannot be used, disks that fill up, and files that
// cannot be written: each is reported, and nothing already saved is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/http_server.h"
#include "support/run_process.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FileSystemFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    server.serve("/start.html", "<a href=\"/big.html\">big</a> <a href=\"/mail\">x</a> a@b.org");
    server.serve("/big.html", std::string(300000, 'b'));
  }
  std::string start() const { return server.base() + "/start.html"; }
  fs::path at(const std::string& name) const { return dir.path() / name; }

  ProxyEnvironment direct{std::nullopt};
  HttpServer server;
  TempDir dir;
};

// Missing or not a folder: usage errors before anything is fetched.
TEST_F(FileSystemFaults, DownloadFolderThatIsNoFolder) {
  dir.write("a file", "keep");
  const fs::path list = dir.write("list.txt", start() + "\n");
  for (const std::string folder : {at("missing").string(), at("a file").string()}) {
    for (const auto& args :
         {std::vector<std::string>{"crawl", start(), "--download-to", folder},
          std::vector<std::string>{"download-list", list.string(), "-d", folder}}) {
      const ProcessResult r = runCli(args);
      EXPECT_EQ(r.exitCode, 2) << args[0] << " " << folder << r.err;
    }
  }
  EXPECT_EQ(server.requests().size(), 0u);
  EXPECT_EQ(readFile(at("a file")), "keep");
  EXPECT_FALSE(fs::exists(at("missing")));
}

// Permissions hold only for a user other than root.
TEST_F(FileSystemFaults, ReadOnlyDownloadFolder) {
  const auto user = unprivilegedUser();
  fs::create_directory(at("shut"));
  fs::permissions(dir.path(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(at("shut"),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const fs::path list = dir.write("list.txt", start() + "\n");
  fs::permissions(list, fs::perms::owner_all | fs::perms::others_read);

  ProcessResult r = runCli({"crawl", start(), "--download-to", at("shut").string(), "--tree", "-"},
                           std::chrono::seconds(60), user);
  // Nothing could be stored, so the crawl failed; the page was still scanned.
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(has(r.err, "Can not store " + start())) << r.err;
  EXPECT_TRUE(has(r.err, "Permission denied")) << r.err;
  EXPECT_TRUE(has(r.err, "1 could not be stored")) << r.err;
  EXPECT_TRUE(has(r.out, "5 " + server.base() + "/big.html\n")) << r.out;
  r = runCli({"download-list", list.string(), "-d", at("shut").string()}, std::chrono::seconds(60),
             user);
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(has(r.out, "0 stored (0 bytes), 1 failed")) << r.out;
  EXPECT_TRUE(namesIn(at("shut")).empty());
}

// A page bigger than the room left is not kept at all; what was stored
// before stays whole.
TEST_F(FileSystemFaults, DiskFillsInTheMiddleOfAStoredPage) {
  SmallDisk disk(at("disk"), 128);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  const ProcessResult r = runCli(
      {"crawl", start(), "--levels", "1", "--download-to", at("disk").string(), "--tree", "-"});
  EXPECT_EQ(r.exitCode, 1) << "an address that was not stored fails the crawl";
  EXPECT_TRUE(has(r.err, "big.htm: No space left on device")) << r.err;
  const std::vector<std::string> stored = namesIn(at("disk"));
  ASSERT_EQ(stored.size(), 1u) << "no partial or temporary file stays";
  EXPECT_TRUE(has(stored[0], "start.htm")) << stored[0];
  EXPECT_EQ(
      readFile(at("disk") / stored[0]),
      readFile(dir.write("want", "<a href=\"/big.html\">big</a> <a href=\"/mail\">x</a> a@b.org")));
}

// A failed export or structure file leaves the previous one byte for byte.
TEST_F(FileSystemFaults, DiskFillsInTheMiddleOfAnExport) {
  SmallDisk disk(at("disk"), 64);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  const std::string before = "the previous export\n";
  std::ofstream(at("disk/export.txt")) << before;
  std::ofstream(at("disk/structure.txt")) << before;
  disk.fill();
  const ProcessResult r =
      runCli({"crawl", start(), "--levels", "1", "--export", at("disk/export.txt").string(),
              "--sections", "links,emails", "--structure", at("disk/structure.txt").string()});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(has(r.err, "it was left as it was. (" + at("disk/export.txt").string())) << r.err;
  EXPECT_TRUE(has(r.err, "it was left as it was. (" + at("disk/structure.txt").string())) << r.err;
  EXPECT_EQ(readFile(at("disk/export.txt")), before);
  EXPECT_EQ(readFile(at("disk/structure.txt")), before);
  EXPECT_EQ(namesIn(at("disk")),
            (std::vector<std::string>{"export.txt", "filler", "structure.txt"}));
}

// Targets that can never hold the file: each reported, exit status 1.
TEST_F(FileSystemFaults, ExportTargetsThatCannotHoldTheFile) {
  fs::create_directory(at("folder"));
  const struct {
    std::string option, target, message;
  } rows[] = {
      {"--export", at("folder").string(),
       "Saving file can not be open. (" + at("folder").string() + ": Is a directory)"},
      {"--structure", at("folder").string(),
       "Saving file can not be open. (" + at("folder").string() + ": Is a directory)"},
      {"--export", "/dev/full", "it is cut short. (/dev/full: No space left on device)"},
      {"--structure", "/dev/full", "it is cut short. (/dev/full: No space left on device)"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {"crawl", start(), row.option, row.target};
    if (row.option == "--export") args.insert(args.end(), {"--sections", "links"});
    const ProcessResult r = runCli(args);
    EXPECT_EQ(r.exitCode, 1) << row.option << " " << row.target;
    EXPECT_TRUE(has(r.err, row.message)) << r.err;
  }
  EXPECT_TRUE(namesIn(at("folder")).empty());
}

}  // namespace
}  // namespace tarnwick::test
