// The crawl on loopback sites, driven through the engine with a scripted host
// and through tarnwick-cli: whole tree dumps, order, counters, both questions,
// stored files, the failures of single addresses, flags and Ctrl-C.
#include "tarnwick/crawl.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_host.h"
#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::Page;
using test::readFile;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// Sites live on host names no name service knows: the server is the HTTP proxy.
constexpr const char* kChain = "http://www.chain.example/";
std::string at(const std::string& path) { return "http://www.tarn.example" + path; }
std::string anchor(const std::string& href) { return "<a href=\"" + href + "\">x</a> "; }

// A page of `size` bytes: `head`, then dots, with `tail` at the end.
std::string paddedPage(const std::string& head, std::size_t size, const std::string& tail = "") {
  return head + std::string(size - head.size() - tail.size(), '.') + tail;
}

Texts filesIn(const fs::path& folder) {
  Texts names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class CrawlTest : public ::testing::Test {
 protected:
  CrawlTest() {
    tree.clearResults();
    settings.stallTimeout = std::chrono::milliseconds(500);
  }

  // / -> b, c; b -> c, d; c -> d, b; d -> e; e has no link.
  void serveChainSite() {
    server.serve(kChain, anchor("/b.html") + anchor("/c.html"));
    server.serve(kChain + std::string("b.html"), anchor("/c.html") + anchor("/d.html"));
    server.serve(kChain + std::string("c.html"), anchor("/d.html") + anchor("/b.html"));
    server.serve(kChain + std::string("d.html"), anchor("/e.html"));
    server.serve(kChain + std::string("e.html"), "<p>the end</p>");
  }
  // Three windows of 1024 bytes with a link each, to pages of 600: 4872 bytes in all.
  void serveQuestionSite() {
    std::string start;
    for (const std::string name : {"/one.html", "/two.html", "/three.html"}) {
      start += paddedPage(anchor(name), 1024);
      server.serve(at(name), paddedPage("", 600));
    }
    server.serve(at("/"), start);
  }

  FetchOptions options(std::string start, int levels = 0, bool download = false) const {
    FetchOptions o;
    o.startAddress = std::move(start);
    o.levels = levels;
    o.downloadFiles = download;
    o.downloadFolder = folder.path().string();
    return o;
  }
  CrawlResult crawl(const FetchOptions& o) {
    return runCrawl(tree, tree.rootItem(), o, host, settings);
  }

  // Runs "tarnwick-cli crawl" with args plus "--tree FILE" and returns the dump.
  std::string crawlTree(Texts args) {
    const fs::path treeFile = folder.path() / "tree.txt";
    fs::remove(treeFile);
    args.insert(args.begin(), "crawl");
    args.insert(args.end(), {"--tree", treeFile.string(), "--timeout", "5"});
    cli = test::runCli(args);
    EXPECT_EQ(cli.exitCode, 0) << cli.err;
    return fs::exists(treeFile) ? readFile(treeFile) : "(no tree written)";
  }
  // Runs tarnwick-cli with args, sends it `interrupts` Ctrl-C, 100 ms apart, once
  // it has sent a request, and returns its exit status (-1: killed after 20 s).
  int interrupted(const Texts& args, int interrupts) {
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
    for (int i = 0; i < 2000 && waited == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      const bool started = server.requests().size() > before;
      if (interrupts > 0 && i % 10 == 0 && started && kill(pid, SIGINT) == 0) --interrupts;
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
  ResultsTree tree;
  test::FakeHost host;
  CrawlSettings settings;
  test::ProcessResult cli;
};

TEST_F(CrawlTest, CategoriesCountersAndTwoCrawlsInARow) {
  settings.currentLinksPath = folder.write("currentlinks.txt", "http://old.example/\nand more\n");
  // Two windows; the second repeats the first one's last 100 bytes.
  std::string start = "<img src=\"logo.gif\"> " + anchor("/b.html") + anchor("/c.html") +
                      "<a href=\"mailto:Info@Tarn.example\">m</a>";
  start = paddedPage(start, 1000, "Ultramarine") + paddedPage("", 500, "ultramarine");
  const std::string b = "<p>b</p>";
  server.serve(at("/"), start);
  server.serve(at("/b.html"), b);
  FetchOptions o = options(at("/"), 1);
  o.findImages = o.findEmails = o.findKeywords = true;
  o.keywords = "ultramarine";
  const CrawlResult result = crawl(o);
  // The first window's hit is cut at the window's end; the second finds it at the same place.
  const std::string dots(100, '.');
  EXPECT_EQ(dumpTree(tree),
            "7  - \n  0 http://www.tarn.example/\n    3 Key words\n      4 (989) '" + dots +
                "Ultramarine" + std::string(24, '.') + "' \n      4 (1489) '" + dots +
                R"(ultramarine' 
    1 Web links
      5 http://www.tarn.example/b.html
      5 http://www.tarn.example/c.html
        8 Can not open. Check connection and/or existance.
    9 Images links
      9 http://www.tarn.example/logo.gif
    2 E-mails
      6 Info@Tarn.example
)");
  // Zero counters, the start item, the pages counter at 1, then one line per address.
  std::vector<long> pages;
  for (const CrawlCounters& shown : host.crawlStatus) pages.push_back(shown.pages);
  EXPECT_EQ(pages, (std::vector<long>{0, 0, 1, 2, 3, 4}));
  EXPECT_EQ(host.addresses, (Texts{at("/"), at("/b.html")}));
  const CrawlStatusLines lines = crawlStatusLines(result.counters);
  EXPECT_EQ(lines.levelAndPages, "0 level of search. 4 pages are read.");
  EXPECT_EQ(lines.bytes, std::to_string(start.size() + b.size()) + " bites read");
  EXPECT_EQ(lines.found, "2 key words 2 links 1 images 1 emails found");
  EXPECT_EQ(host.expanded, std::vector<Item>{tree.rootItem()});
  EXPECT_EQ(host.states.back(), SearchState::Idle);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(readFile(settings.currentLinksPath), at("/") + "\n");
  // The next crawl counts from zero, after the first one's items; "Match case" holds.
  o.matchCase = true;
  EXPECT_EQ(crawl(o).counters.keywords, 1);
  EXPECT_EQ(tree.childCount(tree.rootItem()), 2);
  const CrawlStatusLines big = crawlStatusLines({3, 12, 5'000'000'000LL, 1, 2, 3, 4});
  EXPECT_EQ(big.levelAndPages, "3 level of search. 12 pages are read.");
  EXPECT_EQ(big.bytes, "5000000000 bites read");
  EXPECT_EQ(big.found, "1 key words 2 links 3 images 4 emails found");
}

// Every way a single address can fail, with downloading on: each ends that
// address only; what was read stays in the tree, a partly stored file goes.
TEST_F(CrawlTest, FailuresOfSingleAddressesBecomeErrorItems) {
  const std::string start = anchor("/gone.html") + anchor("/empty.html") +
                            anchor("/moved/old.html") + anchor("/chunked.html") +
                            anchor("/broken.html") + anchor("/stall.html") +
                            anchor("/silent.html") + anchor("http://127.0.0.1:1/refused.html");
  const std::string rel = anchor("rel.html");
  const std::string chunked = paddedPage(anchor("/c1.html"), 1500, anchor("/c2.html"));
  const std::string broken = paddedPage(anchor("/b1.html"), 1100) + anchor("/b2.html");
  server.serve(at("/"), start);
  server.serve(at("/gone.html"), Page::html("gone", 404));
  server.serve(at("/empty.html"), "");
  server.serve(at("/moved/old.html"), Page::redirect(301, at("/new/page.html")));
  server.serve(at("/new/page.html"), rel);
  server.serve(at("/chunked.html"), Page::chunked(chunked, 300));
  server.serve(at("/broken.html"), Page::faulty(Fault::ResetMidBody, broken, 1103));
  server.serve(at("/stall.html"),
               Page::faulty(Fault::Stall, paddedPage(anchor("/seen.html"), 3000), 1024));
  server.serve(at("/silent.html"), Page::faulty(Fault::NoResponse));
  folder.write("tarn_example_.htm", start + "and an older, longer copy");
  test::ScopedEnv direct("no_proxy", "127.0.0.1");  // a refused connection, not a proxy's answer
  const CrawlResult result = crawl(options(at("/"), 1, true));
  // Links of a redirected page are completed against the address asked for.
  EXPECT_EQ(dumpTree(tree), R"(7  - 
  0 http://www.tarn.example/
    1 Web links
      5 http://www.tarn.example/gone.html
        8 Can not open. Check connection and/or existance.
      5 http://www.tarn.example/empty.html
        8 Page is empty.
      5 http://www.tarn.example/moved/old.html
        1 Web links
          5 http://www.tarn.example/moved/rel.html
      5 http://www.tarn.example/chunked.html
        1 Web links
          5 http://www.tarn.example/c1.html
          5 http://www.tarn.example/c2.html
      5 http://www.tarn.example/broken.html
        1 Web links
          5 http://www.tarn.example/b1.html
        8 Page is not opening. Check connection.
      5 http://www.tarn.example/stall.html
        1 Web links
          5 http://www.tarn.example/seen.html
        8 Page is not opening. Check connection.
      5 http://www.tarn.example/silent.html
        8 Page is not opening. Check connection.
      5 http://127.0.0.1:1/refused.html
        8 Page is not opening. Check connection.
)");
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.counters.bytes,
            static_cast<std::int64_t>(start.size() + rel.size() + chunked.size() + 1103 + 1024));
  EXPECT_EQ(filesIn(folder.path()),
            (Texts{"tarn_example_.htm", "tarn_example_chunked.htm", "tarn_example_moved_old.htm"}));
  EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), start);
  EXPECT_EQ(readFile(folder.path() / "tarn_example_chunked.htm"), chunked);
  for (int percent : host.progress) EXPECT_LE(percent, 100);  // a chunked page's length grows
  // The transport failures' own texts are shown; the others are silent.
  ASSERT_EQ(host.asked.size(), 4u);
  EXPECT_NE(host.asked[1].find("timed out"), std::string::npos) << host.asked[1];
  EXPECT_NE(host.asked[3].find("127.0.0.1"), std::string::npos) << host.asked[3];
}

TEST_F(CrawlTest, EveryAddressIsStoredByteForByteAndFilesAreNeverScanned) {
  crawl(options(at("/setup.exe"), 2));  // a file while downloading is off: not read
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 http://www.tarn.example/setup.exe\n");
  EXPECT_TRUE(server.requests().empty());
  const std::string tooLong = at("/" + std::string(300, 'n'));  // the file system refuses it
  const std::string start = anchor(tooLong) + anchor("/img/photo.jpg") + anchor("/page.html?x=1") +
                            anchor("/files/pack.zip") + anchor("/after.html") + "\r\n\x01\xff";
  const std::string jpg("\xff\xd8\xff\xe0 jpeg", 10);
  const std::string zip = std::string("PK\x03\x04\0\0", 6) + paddedPage(anchor("/in.html"), 3000);
  server.serve(at("/"), start);
  server.serve(tooLong, anchor("/x.html"));
  server.serve(at("/img/photo.jpg"), jpg);
  server.serve(at("/page.html?x=1"), "page");
  server.serve(at("/files/pack.zip"), zip);
  server.serve(at("/after.html"), "after");
  crawl(options(at("/"), 1));
  EXPECT_EQ(server.requestCount(at("/files/pack.zip")), 0u);
  tree.clearResults();
  // "Stop" pressed while the archive is read takes effect after its last byte.
  host.onPump = [&](int) {
    host.stop |= !host.addresses.empty() && host.addresses.back() == at("/files/pack.zip");
  };
  EXPECT_TRUE(crawl(options(at("/"), 1, true)).stopped);
  // The page with a name too long for the file system is stored under a shorter one, and scanned.
  EXPECT_EQ(dumpTree(tree),
            "7  - \n  0 http://www.tarn.example/\n    1 Web links\n      5 " + tooLong + R"(
        1 Web links
          5 http://www.tarn.example/x.html
      5 http://www.tarn.example/img/photo.jpg
      5 http://www.tarn.example/page.html?x=1
      5 http://www.tarn.example/files/pack.zip
      5 http://www.tarn.example/after.html
)");
  Texts files = filesIn(folder.path());
  ASSERT_EQ(files.size(), 5u);
  const auto shortened = std::find_if(files.begin(), files.end(),
                                      [](const std::string& name) { return name.size() > 100; });
  ASSERT_NE(shortened, files.end());
  const std::string shortName = *shortened;
  EXPECT_EQ(shortName.size(), 255u);
  EXPECT_TRUE(shortName.starts_with("tarn_example_" + std::string(200, 'n'))) << shortName;
  EXPECT_EQ(readFile(folder.path() / shortName), anchor("/x.html"));
  files.erase(shortened);
  EXPECT_EQ(files, (Texts{"pack.zip", "tarn_example_.htm", "tarn_example_img_photo.jpg",
                          "tarn_example_page.htm"}));
  EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), start);
  EXPECT_EQ(readFile(folder.path() / "tarn_example_img_photo.jpg"), jpg);
  EXPECT_EQ(readFile(folder.path() / "tarn_example_page.htm"), "page");
  EXPECT_EQ(readFile(folder.path() / "pack.zip"), zip);
  EXPECT_EQ(host.asked, Texts{});  // neither a store failure nor a stop question
}

// "Stop" pressed while the start page's first window is read.
TEST_F(CrawlTest, StopQuestionYesEndsThePageAndTheCrawlNoGoesOn) {
  using enum SearchState;
  serveQuestionSite();
  for (const Answer answer : {Answer::Yes, Answer::No}) {
    host = test::FakeHost();
    host.answers = {answer};
    host.stopAtPump = 1;
    const CrawlResult result = crawl(options(at("/"), 1));
    const bool yes = answer == Answer::Yes;
    EXPECT_EQ(host.asked, Texts{messages::kStopQuestion});
    EXPECT_EQ(host.states,
              (yes ? std::vector{Running, Idle, Idle} : std::vector{Running, Running, Idle}));
    EXPECT_EQ(result.stopped, yes);
    EXPECT_EQ(result.addressesRead, yes ? 1u : 4u);
    EXPECT_EQ(result.counters.bytes, yes ? 1024 : 4872);
    EXPECT_EQ(result.counters.webLinks, yes ? 1 : 3);
  }
}

TEST_F(CrawlTest, ItemsDeletedWhileTheCrawlRunsAreNeitherReadNorFilled) {
  serveChainSite();
  const std::string site = kChain;
  // While b is read, delete it; while d is read, clear the tree, in which b waits again.
  std::string beforeClear;
  host.onPump = [&](int) {
    const Item start = tree.firstChild(tree.rootItem());
    if (!tree.contains(start) || host.addresses.empty()) return;
    const std::string& reading = host.addresses.back();
    if (reading == site + "b.html" && tree.hasChildren(start)) {
      const Item b = tree.firstChild(tree.firstChild(start));
      if (tree.label(b) == reading) tree.remove(b);
    }
    if (reading == site + "d.html") {
      beforeClear = dumpTree(tree);
      tree.clearResults();
    }
  };
  const CrawlResult result = crawl(options(site, 3));
  EXPECT_EQ(beforeClear, R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/c.html
        1 Web links
          5 http://www.chain.example/d.html
          5 http://www.chain.example/b.html
)");
  EXPECT_EQ(dumpTree(tree), "7  - \n");
  EXPECT_EQ(host.addresses, (Texts{site, site + "b.html", site + "c.html", site + "d.html"}));
  EXPECT_EQ(result.addressesRead, 4u);
  EXPECT_EQ(server.requestCount(site + "e.html"), 0u);
}

// tarnwick-cli from here on.

TEST_F(CrawlTest, CliLinksOfEveryFormFollowedOneLevel) {
  server.serve(at("/"), "<html><body>\n" + anchor("/about.html") + anchor("docs/guide.html") +
                            anchor("?page=2") + anchor("HTTP://www.tarn.example/upper.html") +
                            anchor("http://www.other.example/x.html") + anchor("a;b.html") +
                            anchor("/missing.html") + anchor("http://127.0.0.1:1/refused.html") +
                            anchor("#top") + anchor("/never.html") + "</body></html>\n");
  // A link of one or two characters ends a page's links.
  server.serve(at("/about.html"),
               "<a href=\"team/\">Team</a> <a href=\"/docs/guide.html\">Guide</a> "
               "<a href=\"http://www.tarn.example/\">Home</a> <a href=\"/\">Root</a> "
               "<a href=\"/after.html\">After</a>");
  server.serve(at("/docs/guide.html"),
               "<a href=\"../about.html\">Up</a> <a href=\"intro.html\">Intro</a> "
               "<a href=\"../../x/deep.html\">Deep</a> <a href=\"sub//twice.html\">Twice</a> "
               "<a href=\"ab\">Two letters</a> <a href=\"late.html\">Late</a>");
  server.serve(at("/?page=2"), "<a href=\"?page=3\">More</a>");
  server.serve("http://www.other.example/x.html", "<a href='y.html'>Y</a>");
  test::ScopedEnv direct("no_proxy", "127.0.0.1");  // a refused connection, not a proxy's answer
  const fs::path exported = folder.path() / "links.txt", structure = folder.path() / "tree2.txt";
  const fs::path current = folder.path() / "currentlinks.txt";
  EXPECT_EQ(
      crawlTree({at("/"), "--levels", "1", "--export", exported.string(), "--sections", "links",
                 "--structure", structure.string(), "--current-links", current.string()}),
      R"(7  - 
  0 http://www.tarn.example/
    1 Web links
      5 http://www.tarn.example/about.html
        1 Web links
          5 http://www.tarn.example/team/
          5 http://www.tarn.example/docs/guide.html
          5 http://www.tarn.example/
      5 http://www.tarn.example/docs/guide.html
        1 Web links
          5 http://www.tarn.example/about.html
          5 http://www.tarn.example/docs/intro.html
          5 http://www.tarn.example/../x/deep.html
          5 http://www.tarn.example/docs/sub/twice.html
      5 http://www.tarn.example/?page=2
        1 Web links
          5 http://www.tarn.example/?page=3
      5 http://www.tarn.example/HTTP:/www.tarn.example/upper.html
        8 Can not open. Check connection and/or existance.
      5 http://www.other.example/x.html
        1 Web links
          5 http://www.other.example/y.html
      5 http://www.tarn.example/missing.html
        8 Can not open. Check connection and/or existance.
      5 http://127.0.0.1:1/refused.html
        8 Page is not opening. Check connection.
)");
  // Only the network error and the count of failures go to standard error:
  // error statuses are no network errors.
  EXPECT_EQ(std::count(cli.err.begin(), cli.err.end(), '\n'), 2) << cli.err;
  EXPECT_NE(cli.err.find("127.0.0.1 port 1"), std::string::npos) << cli.err;
  EXPECT_NE(cli.err.find("3 of 8 addresses failed, 0 could not be stored\n"), std::string::npos)
      << cli.err;
  EXPECT_EQ(cli.out, "");
  EXPECT_EQ(readFile(current), at("/") + "\n");
  EXPECT_NE(readFile(exported).find("http://www.other.example/y.html"), std::string::npos);
  EXPECT_NE(readFile(structure).find(at("/docs/intro.html")), std::string::npos);
}

TEST_F(CrawlTest, CliEachLevelReadsOneStepFurtherBreadthFirst) {
  serveChainSite();
  EXPECT_EQ(crawlTree({kChain, "--levels", "3", "--find", "images"}),  // no link to follow
            "7  - \n  0 http://www.chain.example/\n");
  const char* expected[] = {
      R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/b.html
      5 http://www.chain.example/c.html
)",
      R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/b.html
        1 Web links
          5 http://www.chain.example/c.html
          5 http://www.chain.example/d.html
      5 http://www.chain.example/c.html
        1 Web links
          5 http://www.chain.example/d.html
          5 http://www.chain.example/b.html
)",
      R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/b.html
        1 Web links
          5 http://www.chain.example/c.html
          5 http://www.chain.example/d.html
            1 Web links
              5 http://www.chain.example/e.html
      5 http://www.chain.example/c.html
        1 Web links
          5 http://www.chain.example/d.html
          5 http://www.chain.example/b.html
            1 Web links
              5 http://www.chain.example/c.html
              5 http://www.chain.example/d.html
)",
      // d waits in the queue when c is read again, so it is queued once; e has no link.
      R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/b.html
        1 Web links
          5 http://www.chain.example/c.html
          5 http://www.chain.example/d.html
            1 Web links
              5 http://www.chain.example/e.html
      5 http://www.chain.example/c.html
        1 Web links
          5 http://www.chain.example/d.html
          5 http://www.chain.example/b.html
            1 Web links
              5 http://www.chain.example/c.html
                1 Web links
                  5 http://www.chain.example/d.html
                  5 http://www.chain.example/b.html
              5 http://www.chain.example/d.html
                1 Web links
                  5 http://www.chain.example/e.html
)"};
  for (int level = 0; level <= 3; ++level)
    EXPECT_EQ(crawlTree({kChain, "--levels", std::to_string(level)}), expected[level]) << level;
  const auto readSince = [&](std::size_t from) {
    Texts read;
    const auto requests = server.requests();
    for (std::size_t i = from; i < requests.size(); ++i)
      read.push_back(requests[i].address.substr(strlen(kChain)));
    return read;
  };
  // Every queued address is asked once for each time it is read, fetched ahead or not;
  // one at a time, they are asked in the order they are read.
  Texts read = readSince(0);
  ASSERT_EQ(read.size(), 1u + 1 + 3 + 5 + 8);
  Texts lastCrawl(read.end() - 8, read.end());
  const Texts inOrder{"", "b.html", "c.html", "d.html", "b.html", "e.html", "c.html", "d.html"};
  std::sort(lastCrawl.begin(), lastCrawl.end());
  Texts sorted = inOrder;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(lastCrawl, sorted);
  const std::size_t before = server.requests().size();
  EXPECT_EQ(crawlTree({kChain, "--levels", "3", "--parallel", "1"}), expected[3]);
  EXPECT_EQ(readSince(before), inOrder);
}

// Without a filter every link here would be followed, as on the sites above.
TEST_F(CrawlTest, CliDomainFilters) {
  const std::string docs = at("/docs/");
  server.serve(docs, anchor("a.html") + anchor("/top.html") + anchor("../up.html") +
                         anchor("/docs-old/z.html") + anchor("http://shop.tarn.example/s.html") +
                         anchor("http://www.other.example/o.html"));
  server.serve(docs + "a.html", "<a href=\"b.html\">B</a>");
  server.serve(at("/top.html"), "<a href=\"t2.html\">T2</a>");
  server.serve(at("/up.html"), "<a href=\"u2.html\">U2</a>");
  server.serve(at("/docs-old/z.html"), "<a href=\"z2.html\">Z2</a>");
  server.serve("http://shop.tarn.example/s.html", "<a href=\"s2.html\">S2</a>");
  server.serve("http://www.other.example/o.html", "<a href=\"o2.html\">O2</a>");
  // Only links that begin with the page's site, and contain the root domain.
  EXPECT_EQ(crawlTree({docs, "--levels", "1", "--only-root-domain"}), R"(7  - 
  0 http://www.tarn.example/docs/
    1 Web links
      5 http://www.tarn.example/docs/a.html
        1 Web links
          5 http://www.tarn.example/docs/b.html
      5 http://www.tarn.example/top.html
        1 Web links
          5 http://www.tarn.example/t2.html
      5 http://www.tarn.example/up.html
        1 Web links
          5 http://www.tarn.example/u2.html
      5 http://www.tarn.example/docs-old/z.html
        1 Web links
          5 http://www.tarn.example/docs-old/z2.html
)");
  // Only links that begin with the page's folder, as text: "docs-old" begins with "docs".
  EXPECT_EQ(crawlTree({docs, "--levels", "1", "--only-parent-domain"}), R"(7  - 
  0 http://www.tarn.example/docs/
    1 Web links
      5 http://www.tarn.example/docs/a.html
        1 Web links
          5 http://www.tarn.example/docs/b.html
      5 http://www.tarn.example/docs-old/z.html
        1 Web links
          5 http://www.tarn.example/docs-old/z2.html
)");
}

// Past a limit of 3500 bytes at each address after the start page.
TEST_F(CrawlTest, CliEveryAnswerToTheVolumeQuestionFromItsFlag) {
  serveQuestionSite();
  struct Row {
    std::string answer, limit;
    long stored, asked;
  };
  for (const Row& row : {Row{"", "0.0000035", 1, 1}, Row{"stop", "0.0000035", 1, 1},
                         Row{"continue", "0.0000035", 4, 1}, Row{"once", "0.0000035", 4, 3},
                         Row{"", "0.000004872", 4, 0}}) {  // reached exactly: no question
    test::TempDir to;
    Texts args{at("/"),    "--levels", "1", "--download-to", to.path().string(),
               "--max-gb", row.limit};
    if (!row.answer.empty()) args.insert(args.end(), {"--volume-answer", row.answer});
    crawlTree(args);
    EXPECT_EQ(std::distance(fs::directory_iterator(to.path()), {}), row.stored) << row.answer;
    // One line of standard error per question; no other message is due.
    EXPECT_EQ(std::count(cli.err.begin(), cli.err.end(), '\n'), row.asked) << cli.err;
  }
}

TEST_F(CrawlTest, CliUsageErrorsWriteNothing) {
  const std::string treeFile = (folder.path() / "tree.txt").string();
  for (Texts args :
       {Texts{"www.tarn.example"}, Texts{""}, Texts{at("/"), "--levels", "-1"},
        Texts{at("/"), "--download-to", "/no/such"}, Texts{at("/"), "--volume-answer", "maybe"},
        Texts{at("/"), "--parallel", "0"}, Texts{at("/"), "--parallel", "65"},
        Texts{at("/"), "--parallel", "2.5"}, Texts{at("/"), "--delay", "-1"},
        Texts{at("/"), "--delay", "3600001"}}) {
    args.insert(args.begin(), "crawl");
    args.insert(args.end(), {"--tree", treeFile});
    EXPECT_EQ(test::runCli(args).exitCode, 2) << args[1];
    EXPECT_FALSE(fs::exists(treeFile));
  }
  EXPECT_NE(test::runCli({"crawl", "tarn.example/index.html"})
                .err.find("It's look like that 'http://' or 'https://' is missing in the address."),
            std::string::npos);
}

TEST_F(CrawlTest, CliCtrlCEndsAfterTheCurrentWindowAndASecondOneAtOnce) {
  std::string body;  // five windows with a link each, 200 ms apart
  for (int i = 1; i <= 5; ++i) body += paddedPage(anchor("/w" + std::to_string(i) + ".html"), 1024);
  server.serve(at("/"), Page::chunked(body, 1024, std::chrono::milliseconds(200)));
  const fs::path treeFile = folder.path() / "tree.txt";
  EXPECT_EQ(interrupted({"crawl", at("/"), "--levels", "1", "--tree", treeFile.string()}, 1), 0);
  const std::string dump = readFile(treeFile);
  EXPECT_NE(dump.find("w1.html"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("w5.html"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("\n        "), std::string::npos) << dump;  // no link was followed
  // The second ends at once, even while an address keeps the crawl waiting.
  server.serve(at("/silent.html"), Page::faulty(Fault::NoResponse));
  EXPECT_EQ(interrupted({"crawl", at("/silent.html"), "--timeout", "60"}, 2), 130);
}

}  // namespace
}  // namespace tarnwick
