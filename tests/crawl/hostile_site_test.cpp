// Crawls and downloads against sites and folders that try to do harm: links
// planted in the download folder, pages that link to themselves without end,
// disks that fill up, servers that trickle, bodies of unannounced length.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "results/output_file.h"
#include "support/fake_host.h"
#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "tarnwick/crawl.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::Page;
using test::readFile;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

std::string at(const std::string& path) { return "http://www.tarn.example" + path; }
std::string anchor(const std::string& href) { return "<a href=\"" + href + "\">x</a> "; }

Texts entriesIn(const fs::path& folder) {
  Texts names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Writes fail with ENOSPC once this many bytes went through, as on a full disk.
std::size_t diskRoom = 0;
ssize_t fillingDisk(int fd, const void* data, std::size_t size) {
  if (size > diskRoom) {
    errno = ENOSPC;
    return -1;
  }
  diskRoom -= size;
  return ::write(fd, data, size);
}

class DiskFull {
 public:
  explicit DiskFull(std::size_t room) {
    diskRoom = room;
    OutputFile::setWriteCallForTesting(&fillingDisk);
  }
  ~DiskFull() { OutputFile::setWriteCallForTesting(nullptr); }
};

class HostileSiteTest : public ::testing::Test {
 protected:
  HostileSiteTest() {
    tree.clearResults();
    settings.stallTimeout = std::chrono::milliseconds(2000);
  }
  FetchOptions options(std::string start, int levels = 0, bool download = false) const {
    FetchOptions o;
    o.startAddress = std::move(start);
    o.levels = levels;
    o.downloadFiles = download;
    o.downloadFolder = folder.path().string();
    return o;
  }
  CrawlResult crawl(const FetchOptions& o) { return runCrawl(tree, tree.rootItem(), o, host, settings); }

  // Runs tarnwick-cli with args; once it has sent a request, sends it each of
  // `signals`, 200 ms apart. Its exit status (-1: killed after 20 s).
  int signalled(const Texts& args, std::vector<int> signals) {
    std::vector<char*> argv{const_cast<char*>(TARNWICK_CLI_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::size_t before = server.requests().size();
    const pid_t pid = fork();
    if (pid == 0) {  // only async-signal-safe calls until execv
      const int null = open("/dev/null", O_RDWR);
      for (int fd : {0, 1, 2}) dup2(null, fd);
      execv(TARNWICK_CLI_PATH, argv.data());
      _exit(127);
    }
    int status = 0, waited = 0;
    std::reverse(signals.begin(), signals.end());
    for (int i = 0; i < 2000 && waited == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      const bool started = server.requests().size() > before;
      if (!signals.empty() && i % 20 == 0 && started && kill(pid, signals.back()) == 0)
        signals.pop_back();
      waited = waitpid(pid, &status, WNOHANG);
    }
    if (waited != 0) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }

  test::HttpServer server;
  test::ProxyEnvironment proxy{server.base()};
  test::TempDir folder;
  test::TempDir outside;
  ResultsTree tree;
  test::FakeHost host;
  CrawlSettings settings;
};

// Links in the download folder at the names of stored files point outside it:
// the crawl and the list download replace the links and never touch their ends.
TEST_F(HostileSiteTest, LinksPlantedInTheDownloadFolderAreReplacedNeverFollowed) {
  const std::string start = anchor("/a.html"), a = "<p>a</p>";
  server.serve(at("/"), start);
  server.serve(at("/a.html"), a);
  const fs::path victim = outside.write("victim.txt", "precious");
  const fs::path created = outside.path() / "created.txt";
  const auto plant = [&] {
    fs::remove(folder.path() / "tarn_example_.htm");
    fs::remove(folder.path() / "tarn_example_a.htm");
    fs::create_symlink(victim, folder.path() / "tarn_example_.htm");
    fs::create_symlink(created, folder.path() / "tarn_example_a.htm");  // dangling
  };
  const auto check = [&](const std::string& how) {
    EXPECT_EQ(readFile(victim), "precious") << how;
    EXPECT_FALSE(fs::exists(created)) << how;
    for (const char* name : {"tarn_example_.htm", "tarn_example_a.htm"})
      EXPECT_FALSE(fs::is_symlink(folder.path() / name)) << how << " " << name;
    EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), start) << how;
    EXPECT_EQ(readFile(folder.path() / "tarn_example_a.htm"), a) << how;
  };
  plant();
  crawl(options(at("/"), 1, true));
  check("crawl");
  plant();
  const fs::path list = outside.write("list.txt", at("/") + "\n" + at("/a.html") + "\n");
  const auto r = test::runCli({"download-list", list.string(), "-d", folder.path().string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  check("download-list");
}

// The files named on the command line replace a link planted at their name;
// the file it points to is never written.
TEST_F(HostileSiteTest, CliNamedFilesReplaceLinksNeverFollowThem) {
  server.serve(at("/"), anchor("/a.html"));
  const Texts flags{"--current-links", "--tree", "--structure", "--export"};
  Texts args{"crawl", at("/"), "--sections", "links"};
  for (const auto& flag : flags) {
    const std::string name = flag.substr(2) + ".txt";
    fs::create_symlink(outside.write(name, "precious"), folder.path() / name);
    args.push_back(flag);
    args.push_back((folder.path() / name).string());
  }
  const auto r = test::runCli(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (const auto& flag : flags) {
    const std::string name = flag.substr(2) + ".txt";
    EXPECT_EQ(readFile(outside.path() / name), "precious") << flag;
    EXPECT_FALSE(fs::is_symlink(folder.path() / name)) << flag;
    EXPECT_NE(readFile(folder.path() / name).find(at("/")), std::string::npos) << flag;
  }
}

// The current-links file in a folder that takes no new file: the file itself
// may be written, so it is overwritten in place.
TEST_F(HostileSiteTest, CliCurrentLinksInAReadOnlyFolderIsWrittenInPlace) {
  server.serve(at("/"), "start");
  fs::permissions(outside.path(), fs::perms::all);
  const fs::path current = outside.write("ro/current.txt", "http://old.example/\n");
  fs::permissions(current, fs::perms::owner_read | fs::perms::owner_write |
                               fs::perms::group_read | fs::perms::group_write |
                               fs::perms::others_read | fs::perms::others_write);
  const fs::path ro = current.parent_path();
  fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  const auto r = test::runCli({"crawl", at("/"), "--current-links", current.string()},
                              std::chrono::seconds(60), test::unprivilegedUser());
  fs::permissions(ro, fs::perms::owner_all);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(current), at("/") + "\n");
  EXPECT_EQ(entriesIn(ro), Texts{"current.txt"});
}

// Each page links to itself: every read adds a level, until the browsing level.
TEST_F(HostileSiteTest, ASelfLinkingSiteEndsAtTheBrowsingLevelHoweverDeep) {
  server.serve(at("/self.html"), anchor("/self.html"));
  constexpr int kLevels = 700;  // beyond any fixed bound of the level walk
  host.onPump = [&](int) { host.stop |= host.addresses.size() > 3 * kLevels; };  // a safety net
  const CrawlResult result = crawl(options(at("/self.html"), kLevels));
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.addressesRead, static_cast<std::size_t>(kLevels + 1));
  EXPECT_EQ(server.requestCount(at("/self.html")), static_cast<std::size_t>(kLevels + 1));
}

// A folder path longer than the system takes (4096 bytes).
std::string longPath() {
  std::string path;
  for (int i = 0; i < 20; ++i) path += std::string(250, 'd') + "/";
  return path;
}

// A store that cannot even be made (no such folder, a path too long) or that
// fails on the way (the disk fills up) ends the storing only: the page is
// still scanned to its end, no partial file stays, and the failure is shown
// and counted.
TEST_F(HostileSiteTest, AStoreThatFailsDoesNotStopTheScan) {
  constexpr int kLinks = 5000;  // about 150 kB: well past the writer's buffer
  std::string page;
  for (int i = 0; i < kLinks; ++i) page += anchor("/p" + std::to_string(i) + ".html");
  server.serve(at("/"), page);
  const struct {
    const char* how;
    std::string subfolder;
    std::size_t room;  // 0: the disk never fills
    std::string reason;
  } rows[] = {
      {"cannot be created", "gone", 0, "No such file or directory"},
      {"fills the disk", "", 1000, "No space left on device"},
      {"has too long a path", longPath(), 0, "File name too long"},
  };
  for (const auto& row : rows) {
    tree.clearResults();
    host = test::FakeHost();
    FetchOptions o = options(at("/"), 0, true);
    o.downloadFolder = (folder.path() / row.subfolder).string();
    CrawlResult result;
    {
      std::optional<DiskFull> full;
      if (row.room > 0) full.emplace(row.room);
      result = crawl(o);
    }
    const Item start = tree.firstChild(tree.rootItem());
    ASSERT_TRUE(tree.hasChildren(start)) << row.how;
    EXPECT_EQ(tree.childCount(tree.firstChild(start)), kLinks) << row.how;
    EXPECT_EQ(result.counters.webLinks, kLinks) << row.how;
    EXPECT_EQ(result.storeFailures, 1) << row.how;
    EXPECT_EQ(result.failedAddresses, 0) << row.how;
    EXPECT_EQ(entriesIn(folder.path()), Texts{}) << row.how;  // no partial, no temporary file
    ASSERT_EQ(host.asked.size(), 1u) << row.how;
    EXPECT_NE(host.asked[0].find(row.reason), std::string::npos) << host.asked[0];
  }
}

// What lies under a folder, links not followed: each entry's relative path,
// kind and content (a link's target).
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const fs::file_status status = entry.symlink_status();
    std::string what = "other";
    if (fs::is_symlink(status))
      what = "link to " + fs::read_symlink(entry.path()).string();
    else if (fs::is_directory(status))
      what = "folder";
    else if (fs::is_regular_file(status))
      what = "file " + readFile(entry.path());
    entries[fs::relative(entry.path(), root).string()] = what;
  }
  return entries;
}

std::map<std::string, std::string> withoutFolder(std::map<std::string, std::string> entries,
                                                 const std::string& folder) {
  std::erase_if(entries, [&](const auto& entry) { return entry.first.starts_with(folder + "/"); });
  return entries;
}

// Paths whose names, taken as they are, would climb out of the download
// folder, name a folder, pass the file system's 255 bytes or hold bytes that
// shells and other systems treat specially.
const Texts kHostilePaths{
    "/.zip", "/..zip", "/../../victim.zip", "/a/../../../victim.zip",
    "/%2e%2e%2f%2e%2e%2fvictim.zip", "/..%2f..%2fvictim.htm", "/..\\..\\victim.zip",
    "/\\..\\victim.htm", "/.", "/..", "/./", "/../", "/dir/", "/x*?:|<>y.zip",
    "/q.zip?name=../../victim.zip", "/p.htm?../../victim.htm", "/" + std::string(300, 'a') + ".zip",
    "/" + std::string(300, 'b') + ".html", "/" + std::string(300, '.') + ".zip",
    "/" + std::string(300, '%') + ".gif", "/ctl\x01\x1f\x7f.zip", "/tab\there.htm",
};
// Hosts that are no hosts.
const Texts kHostileAddresses{"http://../victim.zip", "http://./victim.htm", "http://.."};

// Neither a crawl that stores every address nor a list download writes
// anything outside the download folder, or anything but files directly in it,
// whatever the addresses: the folder's parent, with bait at the names a
// climbing address would reach, stays as it was.
TEST_F(HostileSiteTest, HostileNamesStayInsideTheDownloadFolder) {
  std::string start;
  Texts addresses = kHostileAddresses;
  for (const auto& path : kHostilePaths) addresses.push_back(at(path));
  for (const auto& address : addresses) start += "<a href='" + address + "'>x</a> ";
  server.serve(at("/"), start);
  server.serveUnknown(Page::html("stored"));
  const test::TempDir parent;
  for (const char* bait : {"victim.zip", "victim.htm", "downloads.htm", "_.htm"})
    parent.write(bait, "precious");
  const fs::path list = parent.write("list.txt", [&] {
    std::string text;
    for (const auto& address : addresses) text += address + "\n";
    return text;
  }());
  const fs::path downloads = parent.path() / "downloads";
  fs::create_directory(downloads);
  const auto before = snapshot(parent.path());

  const Texts commands[] = {
      {"crawl", at("/"), "--levels", "1", "--download-to", downloads.string(), "--timeout", "5"},
      {"download-list", list.string(), "-d", downloads.string(), "--timeout", "5"},
  };
  for (const Texts& args : commands) {
    fs::remove_all(downloads);
    fs::create_directory(downloads);
    const auto r = test::runCli(args, std::chrono::seconds(60));
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << args[0] << " " << r.exitCode << "\n" << r.err;
    const auto after = snapshot(parent.path());
    EXPECT_EQ(withoutFolder(after, "downloads"), before) << args[0];
    std::size_t stored = 0;
    for (const auto& [path, what] : after) {
      if (!path.starts_with("downloads/")) continue;
      const std::string name = path.substr(std::string("downloads/").size());
      EXPECT_EQ(name.find('/'), std::string::npos) << args[0] << ": " << path;
      EXPECT_TRUE(what.starts_with("file ")) << args[0] << ": " << path << " is " << what;
      EXPECT_LE(name.size(), 255u) << args[0];
      EXPECT_FALSE(name.starts_with(".tarnwick-")) << args[0] << ": a temporary file stayed";
      ++stored;
    }
    // Most of them were fetched and stored, not refused at the door.
    EXPECT_GE(stored, kHostilePaths.size() / 2) << args[0] << "\n" << r.err;
  }
}

// A server that sends a byte at a time: the stop request is seen while the
// read waits, not after a whole window of 1024 bytes has come.
TEST_F(HostileSiteTest, StopIsSeenWhileAReadWaitsOnATricklingServer) {
  const std::string body = anchor("/one.html") + std::string(3000, '.');
  server.serve(at("/"), Page::chunked(body, 1, std::chrono::milliseconds(20)));  // 60 s in all
  host.onPump = [&](int) { host.stop |= !host.addresses.empty(); };
  const CrawlResult result = crawl(options(at("/"), 1));
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(host.asked, Texts{messages::kStopQuestion});
  EXPECT_LT(result.counters.bytes, 1024);
}

// A byte just before every stall time-out would hold an address for hours;
// the total limit ends it as a time-out, and a start address that failed
// fails the crawl.
TEST_F(HostileSiteTest, CliMaxTimeEndsATricklingAddress) {
  server.serve(at("/"), Page::chunked(std::string(3000, '.'), 1, std::chrono::milliseconds(20)));
  const fs::path treeFile = folder.path() / "tree.txt";
  const struct {
    std::string seconds, inError;
  } rows[] = {
      {"1", "not finished within 1000 milliseconds"},
      {"0.0001", "not finished within 1 milliseconds"},  // rounded up, never to "no limit"
  };
  for (const auto& row : rows) {
    // The whole body would take a minute; the process is killed after 30 s.
    const auto r = test::runCli({"crawl", at("/"), "--timeout", "5", "--max-time", row.seconds,
                                 "--tree", treeFile.string()},
                                std::chrono::seconds(30));
    EXPECT_EQ(r.exitCode, 1) << row.seconds << "\n" << r.err;
    EXPECT_NE(r.err.find(row.inError), std::string::npos) << r.err;
    EXPECT_NE(readFile(treeFile).find(messages::kPageNotOpening), std::string::npos);
  }
}

TEST_F(HostileSiteTest, CliExitStatusTellsAFailedStartFromLaterFailures) {
  server.serve(at("/ok.html"), anchor("/gone.html") + anchor("/fine.html"));
  server.serve(at("/fine.html"), "fine");
  server.serve(at("/gone.html"), Page::html("gone", 404));
  server.serve(at("/empty.html"), "");
  server.serve(at("/silent.html"), Page::faulty(Fault::NoResponse));
  const struct {
    std::string start;
    int exitCode;
    std::string finalLine;
  } rows[] = {
      {at("/ok.html"), 0, "1 of 3 addresses failed, 0 could not be stored\n"},
      {at("/gone.html"), 1, "1 of 1 addresses failed"},
      {at("/empty.html"), 1, "1 of 1 addresses failed"},
      {at("/silent.html"), 1, "1 of 1 addresses failed"},
      {at("/fine.html"), 0, ""},
  };
  for (const auto& row : rows) {
    const auto r = test::runCli({"crawl", row.start, "--levels", "1", "--timeout", "1"});
    EXPECT_EQ(r.exitCode, row.exitCode) << row.start << "\n" << r.err;
    if (row.finalLine.empty())
      EXPECT_EQ(r.err, "") << row.start;
    else
      EXPECT_NE(r.err.find(row.finalLine), std::string::npos) << row.start << "\n" << r.err;
  }
}

// Without a Content-Length the limit is checked as the bytes arrive; the
// question comes once for the address.
TEST_F(HostileSiteTest, VolumeLimitHoldsForBodiesOfUnannouncedLength) {
  const std::string body(8000, '.');
  server.serve(at("/"), Page::chunked(body, 500, std::chrono::milliseconds(10)));
  const struct {
    Answer answer;
    bool stored, stopped;
  } rows[] = {{Answer::Yes, false, true}, {Answer::Cancel, true, false}, {Answer::No, true, false}};
  for (const auto& row : rows) {
    tree.clearResults();
    host = test::FakeHost();
    host.answers = {row.answer};
    FetchOptions o = options(at("/"), 0, true);
    o.maxDownloadGB = 2e-6;  // 2000 bytes
    const CrawlResult result = crawl(o);
    EXPECT_EQ(host.asked, Texts{messages::kVolumeQuestion}) << int(row.answer);
    EXPECT_EQ(result.stopped, row.stopped) << int(row.answer);
    if (row.stored)
      EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), body);
    else
      EXPECT_EQ(entriesIn(folder.path()), Texts{});
    fs::remove(folder.path() / "tarn_example_.htm");
  }
}

// Ending signals remove the temporary file of an address being stored (an
// archive, which is read whole: only a second Ctrl-C ends it early).
TEST_F(HostileSiteTest, CliEndingSignalsLeaveNoPartialFiles) {
  server.serve(at("/pack.zip"),
               Page::chunked(std::string(4000, '.'), 100, std::chrono::milliseconds(100)));
  const struct {
    std::vector<int> signals;
    int exitCode;
  } rows[] = {{{SIGINT, SIGINT}, 130}, {{SIGTERM}, 143}, {{SIGHUP}, 129}};
  for (const auto& row : rows) {
    const int status = signalled(
        {"crawl", at("/pack.zip"), "--download-to", folder.path().string()}, row.signals);
    EXPECT_EQ(status, row.exitCode);
    EXPECT_EQ(entriesIn(folder.path()), Texts{}) << row.exitCode;
  }
}

// A hostile address reaches the terminal only with its control bytes escaped.
TEST_F(HostileSiteTest, CliEscapesControlBytesOfAddressesInMessages) {
  const std::string evil = at("/\x1b]0;owned\x07\x1b[2J.html");
  const fs::path list = outside.write("list.txt", evil + "\n");
  const auto r = test::runCli({"download-list", list.string(), "-d", folder.path().string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\x07'), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\\x1b]0;owned\\x07\\x1b[2J.html"), std::string::npos) << r.err;
}

// --timeout reaches the download commands: a silent server fails them as a
// time-out long before the default of 120 s (the process is killed after 30 s).
TEST_F(HostileSiteTest, CliDownloadsTakeTheTimeout) {
  server.serve(at("/silent.html"), Page::faulty(Fault::NoResponse));
  const fs::path list = outside.write("list.txt", at("/silent.html") + "\n");
  const Texts commands[] = {
      {"download", at("/silent.html"), "-o", (folder.path() / "one.htm").string(), "--timeout", "1"},
      {"download-list", list.string(), "-d", folder.path().string(), "--timeout", "1"},
  };
  for (const Texts& args : commands) {
    const auto r = test::runCli(args, std::chrono::seconds(30));
    EXPECT_EQ(r.exitCode, 1) << args[0] << "\n" << r.err;
    EXPECT_NE(r.err.find("timed out"), std::string::npos) << r.err;
    EXPECT_EQ(entriesIn(folder.path()), Texts{});
  }
}

}  // namespace
}  // namespace tarnwick
