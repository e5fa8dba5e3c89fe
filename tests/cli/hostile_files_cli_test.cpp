// tarnwick-cli against hostile file systems and arguments: FIFOs, sockets,
// link loops, unreadable files, folders it may not list or write, full
// outputs, numbers that are no numbers.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// Makes a Unix socket at path, as a running service leaves one.
bool makeSocket(const fs::path& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.string().size() >= sizeof address.sun_path) return false;
  std::strcpy(address.sun_path, path.c_str());
  const bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return made;
}

// Entries a local search meets beside the files it wants, each searched once
// by name and once in its folder: nothing blocks (a block ends in the time
// limit), nothing but regular files is read, and an entry that cannot be read
// is marked and reported while the search goes on.
TEST(HostileFilesCli, EntriesThatAreNoReadableFiles) {
  const auto user = test::unprivilegedUser();
  const struct {
    std::string what;
    std::function<bool(const fs::path&)> make;  // false: cannot be made here
    int namedExit;                             // searched by name
    bool inFolder;                             // a file item when its folder is searched
  } rows[] = {
      {"fifo", [](const fs::path& p) { return mkfifo(p.c_str(), 0666) == 0; }, 1, false},
      {"socket", makeSocket, 1, false},
      {"link to a fifo",
       [](const fs::path& p) {
         return mkfifo((p.string() + ".fifo").c_str(), 0666) == 0 &&
                ::symlink((p.filename().string() + ".fifo").c_str(), p.c_str()) == 0;
       },
       1, false},
      {"link to an endless device",
       [](const fs::path& p) { return ::symlink("/dev/zero", p.c_str()) == 0; }, 1, false},
      // Named, these do not exist: a usage error before anything is read.
      {"link loop",
       [](const fs::path& p) {
         return ::symlink("loop-b", p.c_str()) == 0 &&
                ::symlink(p.filename().c_str(), (p.parent_path() / "loop-b").c_str()) == 0;
       },
       2, false},
      {"dangling link", [](const fs::path& p) { return ::symlink("gone", p.c_str()) == 0; }, 2,
       false},
      {"unreadable file",
       [](const fs::path& p) {
         std::ofstream(p) << "key";
         return ::chmod(p.c_str(), 0) == 0;
       },
       1, true},
  };
  for (const auto& row : rows) {
    TempDir dir;
    openToAll(dir);
    const fs::path entry = dir.path() / "entry";
    ASSERT_TRUE(row.make(entry)) << row.what << ": " << std::strerror(errno);
    dir.write("z.txt", "key");
    for (const fs::path& path : {entry, dir.path()}) {
      const bool named = path == entry;
      const auto r = runCli({"local", path.string(), "--keywords", "key", "--tree", "-"},
                            std::chrono::seconds(20), user);
      const bool item = r.out.find("  0 " + entry.string() + "\n") != std::string::npos;
      const bool marked = r.out.find("Can not open the file.") != std::string::npos;
      if (named) {
        EXPECT_EQ(r.exitCode, row.namedExit) << row.what << "\n" << r.err;
        EXPECT_EQ(marked, row.namedExit == 1) << row.what << "\n" << r.out;
        continue;
      }
      EXPECT_EQ(r.exitCode, row.inFolder ? 1 : 0) << row.what << " in its folder\n" << r.err;
      EXPECT_EQ(item, row.inFolder) << row.what << "\n" << r.out;
      EXPECT_EQ(marked, row.inFolder) << row.what << "\n" << r.out;
      EXPECT_NE(r.out.find(dir.path().string() + "/z.txt\n    3 Key words"), std::string::npos)
          << row.what << ": the search goes on\n" << r.out;
    }
  }
}

// Ten thousand files (bench/local_search_bench.sh times a hundred thousand),
// some with names that are control bytes, options or shell patterns: each
// gets its item in byte order, labelled with its bytes escaped, and memory
// stays bounded.
TEST(HostileFilesCli, AFolderOfManyFilesWithHostileNames) {
  constexpr int kFiles = 10000;
  TempDir dir;
  for (int i = 0; i < kFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05d", i);
    std::ofstream(dir.path() / name) << "key";
  }
  const struct {
    std::string name, label;
  } hostile[] = {
      {"\n", "\\n"}, {"a\x1b[2J", "a\\x1b[2J"}, {"-rf", "-rf"},
      {"*?:|<>\"\\", "*?:|<>\"\\\\"}, {"\x7f", "\\x7f"},
  };
  for (const auto& file : hostile) dir.write(file.name, "no");
  const auto r = runCli({"local", dir.path().string(), "--keywords", "key", "--tree", "-"},
                        std::chrono::seconds(60));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string total = std::to_string(kFiles + std::size(hostile));
  EXPECT_EQ(r.err, "0 links, 0 e-mails, " + std::to_string(kFiles) +
                       " key words are found in " + total + " files\n");
  const std::string prefix = "\n  0 " + dir.path().string() + "/";
  std::vector<std::string> numbered;
  for (std::size_t at = r.out.find(prefix + "f"); at != std::string::npos;
       at = r.out.find(prefix + "f", at + 1))
    numbered.push_back(r.out.substr(at + prefix.size(), 6));
  ASSERT_EQ(numbered.size(), static_cast<std::size_t>(kFiles));
  EXPECT_TRUE(std::is_sorted(numbered.begin(), numbered.end()));
  for (const auto& file : hostile)
    EXPECT_NE(r.out.find(prefix + file.label + "\n"), std::string::npos) << file.label;
#if !defined(__SANITIZE_ADDRESS__)  // peak memory is measured without sanitizers
  EXPECT_LT(r.maxRssKb, 128 * 1024);
#endif
}

// A list of links whose first line is 300 MB long (a sparse file, no line
// feed): read piece by piece in bounded memory, and the address after it is
// still found.
TEST(HostileFilesCli, AListOfLinksWithAHugeLine) {
  TempDir dir;
  const fs::path list = dir.path() / "list.txt";
  constexpr off_t kLine = 300 * 1000 * 1000;
  {
    std::ofstream out(list, std::ios::binary);
    out.seekp(kLine);
    out << "\nhttp://127.0.0.1:1/after.html\n";  // refused at once: nothing listens on port 1
  }
  ASSERT_EQ(fs::file_size(list), static_cast<std::uintmax_t>(kLine) + 31);
  const auto r = runCli({"download-list", list.string(), "-d", dir.path().string()},
                        std::chrono::seconds(60));
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("not stored: http://127.0.0.1:1/after.html"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "0 stored (0 bytes), 1 failed\n");
#if !defined(__SANITIZE_ADDRESS__)  // peak memory is measured without sanitizers
  EXPECT_LT(r.maxRssKb, 64 * 1024);
#endif
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
