// tarnwick-cli against hostile file systems and arguments: FIFOs, folders it
// may not list or write, full outputs, numbers that are no numbers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

using test::readFile;
using test::runCli;
using test::TempDir;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// A folder the user of `as` may enter: the temporary folder is open to all.
void openToAll(const TempDir& dir) { fs::permissions(dir.path(), fs::perms::all); }

TEST(HostileFilesCli, AFifoIsNeverOpenedAsAFile) {
  TempDir dir;
  const fs::path fifo = dir.path() / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  dir.write("z.txt", "key");
  for (const fs::path& path : {fifo, dir.path()}) {
    const auto r = runCli({"local", path.string(), "--keywords", "key", "--tree", "-"},
                          std::chrono::seconds(20));
    const bool named = path == fifo;
    // Named, the FIFO gets its error item; in a folder it is no regular file and not listed.
    EXPECT_EQ(r.exitCode, named ? 1 : 0) << path << "\n" << r.err;
    EXPECT_EQ(r.out.find("Can not open the file.") != std::string::npos, named) << r.out;
    EXPECT_EQ(r.out.find(dir.path().string() + "/z.txt") != std::string::npos, !named) << r.out;
  }
}

TEST(HostileFilesCli, AFolderThatCannotBeListedIsReported) {
  TempDir dir;
  openToAll(dir);
  const fs::path locked = dir.path() / "locked";
  fs::create_directory(locked);
  dir.write("locked/a.txt", "key");
  // Entered, not listed: by the owner when it is no root, by anyone else when it is.
  fs::permissions(locked, fs::perms::owner_write | fs::perms::owner_exec | fs::perms::group_exec |
                              fs::perms::others_exec);
  const auto r = runCli({"local", locked.string(), "--keywords", "key", "--tree", "-"},
                        std::chrono::seconds(20), test::unprivilegedUser());
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("cannot list the folder " + locked.string()), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "7  - \n");
}

// The folder takes no new file but the files in it may be written: they are
// then replaced in place.
TEST(HostileFilesCli, FilesInAReadOnlyFolderAreWrittenInPlace) {
  TempDir dir;
  openToAll(dir);
  const fs::path source = dir.write("page.htm", "<a href=\"next.htm\">n</a> key");
  const fs::path folder = dir.path() / "ro";
  const Texts names{"export.txt", "structure.txt", "tree.txt"};
  for (const auto& name : names) {
    fs::permissions(dir.write("ro/" + name, "old"), fs::perms::all & ~(fs::perms::owner_exec |
                                                                         fs::perms::group_exec |
                                                                         fs::perms::others_exec));
  }
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  const auto r = runCli({"local", source.string(), "--find", "links", "--export",
                         (folder / names[0]).string(), "--sections", "links", "--structure",
                         (folder / names[1]).string(), "--tree", (folder / names[2]).string()},
                        std::chrono::seconds(20), test::unprivilegedUser());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(folder / names[0]), source.string() + "\r\nnext.htm\r\n");
  EXPECT_NE(readFile(folder / names[1]).find("  next.htm\n"), std::string::npos);
  EXPECT_NE(readFile(folder / names[2]).find("    5 next.htm\n"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
}

// A full standard output is a failure with a message, for the tree dump and
// for the report line of a local search alike.
TEST(HostileFilesCli, AFullStandardOutputFailsWithAMessage) {
  TempDir dir;
  const fs::path source = dir.write("a.txt", "key");
  const std::string cli = TARNWICK_CLI_PATH;
  const Texts commands{
      cli + " local " + source.string() + " --tree - > /dev/full",
      cli + " local " + source.string() + " > /dev/full",
  };
  for (const auto& command : commands) {
    const auto r = test::runProcess("/bin/sh", {"-c", command}, std::chrono::seconds(20));
    EXPECT_EQ(r.exitCode, 1) << command << "\n" << r.err;
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << command << "\n" << r.err;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  }
  const auto r = runCli({"local", source.string(), "--tree", "/dev/full"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot write the tree to /dev/full"), std::string::npos) << r.err;
}

// Not-a-number, infinite, negative and huge values are usage errors whose
// message names the limits readably.
TEST(HostileFilesCli, NumbersOutOfRangeAreUsageErrors) {
  TempDir dir;
  const std::string url = "http://127.0.0.1:1/";
  const Texts rows[] = {
      {"crawl", url, "--timeout", "nan"},
      {"crawl", url, "--timeout", "inf"},
      {"crawl", url, "--timeout", "1e300"},
      {"crawl", url, "--timeout", "0"},
      {"crawl", url, "--timeout", "-3"},
      {"crawl", url, "--max-time", "nan"},
      {"crawl", url, "--max-time", "-1"},
      {"crawl", url, "--download-to", dir.path().string(), "--max-gb", "nan"},
      {"crawl", url, "--download-to", dir.path().string(), "--max-gb", "-0.5"},
      {"crawl", url, "--download-to", dir.path().string(), "--max-gb", "1e400"},
      {"crawl", url, "--levels", "-1"},
      {"crawl", url, "--levels", "99999999999"},
      {"download", url, "-o", (dir.path() / "x").string(), "--timeout", "nan"},
      {"download-list", dir.write("l.txt", url + "\n").string(), "-d", dir.path().string(),
       "--max-time", "inf"},
  };
  for (const Texts& args : rows) {
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 2) << args[2] << " " << args.back() << "\n" << r.err;
    EXPECT_NE(r.err.find("not a "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("17976931348623157"), std::string::npos) << r.err;
    EXPECT_LT(r.err.size(), 400u) << r.err;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // the list alone
}

}  // namespace
}  // namespace tarnwick
