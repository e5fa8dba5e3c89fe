// The crawl driven through the engine with a scripted host: trees, questions,
// counters, stored files and the failures of single addresses.
#include "tarnwick/crawl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "crawl/test_sites.h"
#include "support/fake_host.h"
#include "support/http_server.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

using test::FakeHost;
using test::Fault;
using test::HttpServer;
using test::Page;
using test::paddedPage;
using test::ProxyEnvironment;
using test::readFile;
using test::TempDir;

namespace fs = std::filesystem;
using Addresses = std::vector<std::string>;

constexpr const char* kSite = "http://www.tarn.example";

std::string at(const std::string& path) { return kSite + path; }

std::string anchor(const std::string& href) { return "<a href=\"" + href + "\">x</a> "; }

class CrawlTest : public ::testing::Test {
 protected:
  CrawlTest() {
    tree.clearResults();
    settings.stallTimeout = std::chrono::milliseconds(500);
  }

  static FetchOptions optionsFor(std::string start, int levels = 0) {
    FetchOptions options;
    options.startAddress = std::move(start);
    options.levels = levels;
    return options;
  }

  CrawlResult crawl(const FetchOptions& options) {
    return runCrawl(tree, tree.rootItem(), options, host, settings);
  }

  std::vector<std::string> filesIn(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  HttpServer server;
  ProxyEnvironment proxy{server.base()};
  ResultsTree tree;
  FakeHost host;
  CrawlSettings settings;
};

TEST_F(CrawlTest, LinksOfEveryFormOnTheStartPage) {
  test::serveFormsSite(server);
  const CrawlResult result = crawl(optionsFor(test::kFormsStart, 0));
  EXPECT_TRUE(result.connected);
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(dumpTree(tree),
            "7  - \n"
            "  0 http://www.tarn.example/\n"
            "    1 Web links\n"
            "      5 http://www.tarn.example/about.html\n"
            "      5 http://www.tarn.example/docs/guide.html\n"
            "      5 http://www.tarn.example/?page=2\n"
            "      5 http://www.tarn.example/HTTP:/www.tarn.example/upper.html\n"
            "      5 http://www.other.example/x.html\n"
            "      5 http://www.tarn.example/missing.html\n");
  EXPECT_EQ(server.requestedAddresses(), Addresses{test::kFormsStart});
  EXPECT_EQ(result.counters.pages, 2);  // the start item is counted when it is inserted
  EXPECT_EQ(result.counters.webLinks, 6);
  EXPECT_EQ(result.addressesRead, 1u);
  ASSERT_EQ(host.expanded.size(), 1u);
  EXPECT_EQ(host.expanded[0], tree.rootItem());
  ASSERT_FALSE(host.states.empty());
  EXPECT_EQ(host.states.back(), SearchState::Idle);
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(CrawlTest, CountersFollowEveryAddress) {
  const std::string start = anchor("/b.html") + anchor("/c.html");
  const std::string b = "<p>b</p>";
  server.serve(at("/"), start);
  server.serve(at("/b.html"), b);
  server.serve(at("/c.html"), Page::withStatus(404));
  const CrawlResult result = crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(result.counters.pages, 4);
  EXPECT_EQ(result.counters.bytes, static_cast<std::int64_t>(start.size() + b.size()));
  EXPECT_EQ(result.counters.level, 0);
  EXPECT_EQ(result.addressesRead, 3u);
  // Zero counters, the start item, the pages counter at 1, then one line per address.
  ASSERT_EQ(host.crawlStatus.size(), 6u);
  EXPECT_EQ(host.crawlStatus[0].pages, 0);
  EXPECT_EQ(host.crawlStatus[2].pages, 1);
  EXPECT_EQ(host.crawlStatus[3].pages, 2);
  EXPECT_EQ(host.crawlStatus[3].bytes, static_cast<std::int64_t>(start.size()));
  EXPECT_EQ(host.crawlStatus[5].pages, 4);
  EXPECT_EQ(host.addresses, (Addresses{at("/"), at("/b.html")}));
  const CrawlStatusLines lines = crawlStatusLines(result.counters);
  EXPECT_EQ(lines.levelAndPages, "0 level of search. 4 pages are read.");
  EXPECT_EQ(lines.bytes, std::to_string(start.size() + b.size()) + " bites read");
  EXPECT_EQ(lines.found, "0 key words 2 links 0 images 0 emails found");
}

TEST_F(CrawlTest, StatusLinesHoldCountsBeyondThirtyTwoBits) {
  CrawlCounters counters;
  counters.level = 3;
  counters.pages = 12;
  counters.bytes = 5'000'000'000LL;
  counters.keywords = 1;
  counters.webLinks = 2;
  counters.images = 3;
  counters.emails = 4;
  const CrawlStatusLines lines = crawlStatusLines(counters);
  EXPECT_EQ(lines.levelAndPages, "3 level of search. 12 pages are read.");
  EXPECT_EQ(lines.bytes, "5000000000 bites read");
  EXPECT_EQ(lines.found, "1 key words 2 links 3 images 4 emails found");
}

TEST_F(CrawlTest, ReadsBreadthFirstAndQueuesAnAddressOnceWhileItWaits) {
  test::serveChainSite(server);
  crawl(optionsFor(test::kChainStart, 3));
  const std::string c = "http://www.chain.example/";
  EXPECT_EQ(server.requestedAddresses(),
            (Addresses{c, c + "b.html", c + "c.html", c + "d.html", c + "b.html", c + "e.html",
                       c + "c.html", c + "d.html"}));
}

TEST_F(CrawlTest, KeywordsImagesAndEmailsUnderTheirCategories) {
  // A keyword hit inside the repeated part of two windows is listed once.
  const std::string dots(100, '.');
  std::string page = "<img src=\"logo.gif\"> " + anchor("/next.html") +
                     "<a href=\"mailto:Info@Tarn.example\">mail</a>";
  page = paddedPage(page, 1000, "Ultramarine") + paddedPage("", 500, "ultramarine");
  server.serve(at("/"), page);
  FetchOptions options = optionsFor(at("/"));
  options.findImages = options.findEmails = options.findKeywords = true;
  options.keywords = "ultramarine";
  crawl(options);
  // The first window's keyword comes first among the categories; its snippet ends with
  // the window, and the second window finds it again at the same position.
  const std::string expected =
      "7  - \n"
      "  0 http://www.tarn.example/\n"
      "    3 Key words\n"
      "      4 (989) '" + dots + "Ultramarine" + std::string(24, '.') + "' \n"
      "      4 (1489) '" + dots + "ultramarine' \n"
      "    1 Web links\n"
      "      5 http://www.tarn.example/next.html\n"
      "    9 Images links\n"
      "      9 http://www.tarn.example/logo.gif\n"
      "    2 E-mails\n"
      "      6 Info@Tarn.example\n";
  EXPECT_EQ(dumpTree(tree), expected);
}

TEST_F(CrawlTest, KeywordMatchingHonoursMatchCase) {
  server.serve(at("/"), "<p>Ultramarine and ultramarine</p>");
  FetchOptions options = optionsFor(at("/"));
  options.findWebLinks = false;
  options.findKeywords = true;
  options.keywords = "Ultramarine";
  options.matchCase = true;
  const CrawlResult exact = crawl(options);
  options.matchCase = false;
  const CrawlResult folded = crawl(options);
  EXPECT_EQ(exact.counters.keywords, 1);
  EXPECT_EQ(folded.counters.keywords, 2);
}

TEST_F(CrawlTest, WithoutWebLinksNothingIsFollowed) {
  test::serveChainSite(server);
  FetchOptions options = optionsFor(test::kChainStart, 3);
  options.findWebLinks = false;
  crawl(options);
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 http://www.chain.example/\n");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(CrawlTest, FailuresOfSingleAddressesBecomeErrorItems) {
  server.serve(at("/"), anchor("/gone.html") + anchor("/empty.html") + anchor("/moved/old.html") +
                            anchor("/fine.html") + anchor("http://127.0.0.1:1/refused.html"));
  server.serve(at("/gone.html"), Page::withStatus(404));
  server.serve(at("/empty.html"), "");
  server.serve(at("/moved/old.html"), Page::redirect(at("/new/page.html"), 301));
  server.serve(at("/new/page.html"), anchor("rel.html"));
  server.serve(at("/fine.html"), anchor("ok.html"));
  test::ScopedEnv direct("no_proxy", "127.0.0.1");  // a refused connection, not a proxy's answer
  const CrawlResult result = crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(dumpTree(tree),
            "7  - \n"
            "  0 http://www.tarn.example/\n"
            "    1 Web links\n"
            "      5 http://www.tarn.example/gone.html\n"
            "        8 Can not open. Check connection and/or existance.\n"
            "      5 http://www.tarn.example/empty.html\n"
            "        8 Page is empty.\n"
            // Links of a redirected page are completed against the address asked for.
            "      5 http://www.tarn.example/moved/old.html\n"
            "        1 Web links\n"
            "          5 http://www.tarn.example/moved/rel.html\n"
            "      5 http://www.tarn.example/fine.html\n"
            "        1 Web links\n"
            "          5 http://www.tarn.example/ok.html\n"
            "      5 http://127.0.0.1:1/refused.html\n"
            "        8 Page is not opening. Check connection.\n");
  EXPECT_FALSE(result.stopped);
  // The transport failure's own text is shown; the others are silent.
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_NE(host.asked[0].find("127.0.0.1"), std::string::npos) << host.asked[0];
}

TEST_F(CrawlTest, ChunkedPageWithoutLengthReadsLikeAnyOther) {
  std::string page;
  for (int i = 0; i < 60; ++i) page += anchor("/p" + std::to_string(i) + ".html");
  Page chunked = Page::html(page);
  chunked.fault = Fault::Chunked;
  chunked.pieceSize = 300;
  server.serve(at("/chunked.html"), chunked);
  server.serve(at("/whole.html"), page);
  crawl(optionsFor(at("/chunked.html")));
  crawl(optionsFor(at("/whole.html")));
  const std::string dump = dumpTree(tree);
  const auto second = dump.find("  0 http://www.tarn.example/whole.html\n");
  ASSERT_NE(second, std::string::npos);
  std::string first = dump.substr(0, second);
  first.replace(first.find("chunked.html"), 12, "whole.html");
  EXPECT_EQ("7  - \n" + dump.substr(second), first);
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 1 + 2 * 62);
  for (int percent : host.progress) EXPECT_LE(percent, 100);
}

TEST_F(CrawlTest, BrokenTransferKeepsWhatWasReadAndRemovesTheStoredPart) {
  std::string page;
  for (int i = 0; i < 60; ++i) page += anchor("/p" + std::to_string(i) + ".html");
  ASSERT_GT(page.size(), 1500u);
  Page broken = Page::html(page);
  broken.fault = Fault::ResetMidBody;
  broken.cutAt = 1200;
  server.serve(at("/broken.html"), broken);
  TempDir folder;
  FetchOptions options = optionsFor(at("/broken.html"));
  options.downloadFiles = true;
  options.downloadFolder = folder.path().string();
  const CrawlResult result = crawl(options);
  // 1200 bytes hold the links up to p45 whole; the error item comes after them.
  const std::string dump = dumpTree(tree);
  EXPECT_NE(dump.find("      5 http://www.tarn.example/p45.html\n"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("p46.html"), std::string::npos) << dump;
  const std::string error = "\n    8 Page is not opening. Check connection.\n";
  EXPECT_TRUE(dump.size() > error.size() && dump.substr(dump.size() - error.size()) == error)
      << dump;
  EXPECT_EQ(result.counters.bytes, 1200);
  EXPECT_TRUE(filesIn(folder.path()).empty());
  ASSERT_EQ(host.asked.size(), 1u);
  // The crawl goes on with the next address.
  server.serve(at("/next.html"), anchor("/after.html"));
  crawl(optionsFor(at("/next.html")));
  EXPECT_NE(dumpTree(tree).find("after.html"), std::string::npos);
}

TEST_F(CrawlTest, StalledAddressEndsAfterTheTimeOutAndTheCrawlGoesOn) {
  Page stalled = Page::html(paddedPage(anchor("/seen.html"), 3000));
  stalled.fault = Fault::Stall;
  stalled.cutAt = 1024;
  Page silent;
  silent.fault = Fault::NoResponse;
  server.serve(at("/"), anchor("/stall.html") + anchor("/silent.html") + anchor("/last.html"));
  server.serve(at("/stall.html"), stalled);
  server.serve(at("/silent.html"), silent);
  server.serve(at("/last.html"), "<p>last</p>");
  crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(dumpTree(tree),
            "7  - \n"
            "  0 http://www.tarn.example/\n"
            "    1 Web links\n"
            "      5 http://www.tarn.example/stall.html\n"
            "        1 Web links\n"
            "          5 http://www.tarn.example/seen.html\n"
            "        8 Page is not opening. Check connection.\n"
            "      5 http://www.tarn.example/silent.html\n"
            "        8 Page is not opening. Check connection.\n"
            "      5 http://www.tarn.example/last.html\n");
  EXPECT_EQ(host.asked.size(), 2u);
  EXPECT_GT(host.pumps, 10);  // the host was pumped while the crawl waited
}

TEST_F(CrawlTest, FilesAreReadOnlyWhenDownloading) {
  const std::string zip = "PK\x03\x04 <a href=\"/inside.html\">not scanned</a>";
  server.serve(at("/"), anchor("/files/pack.zip") + anchor("/page.html"));
  Page archive = Page::html(zip);
  archive.contentType = "application/zip";
  server.serve(at("/files/pack.zip"), archive);
  server.serve(at("/page.html"), "<p>page</p>");
  crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(server.requestCount(at("/files/pack.zip")), 0u);

  TempDir folder;
  FetchOptions options = optionsFor(at("/"), 1);
  options.downloadFiles = true;
  options.downloadFolder = folder.path().string() + "/";
  tree.clearResults();
  crawl(options);
  EXPECT_EQ(dumpTree(tree),
            "7  - \n"
            "  0 http://www.tarn.example/\n"
            "    1 Web links\n"
            "      5 http://www.tarn.example/files/pack.zip\n"
            "      5 http://www.tarn.example/page.html\n");
  EXPECT_EQ(filesIn(folder.path()),
            (Addresses{"pack.zip", "tarn_example_.htm", "tarn_example_page.htm"}));
  EXPECT_EQ(readFile(folder.path() / "pack.zip"), zip);
  EXPECT_EQ(readFile(folder.path() / "tarn_example_page.htm"), "<p>page</p>");
}

TEST_F(CrawlTest, StartAddressThatIsAFileIsNotReadWithoutDownloading) {
  const CrawlResult result = crawl(optionsFor(at("/setup.exe"), 2));
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 http://www.tarn.example/setup.exe\n");
  EXPECT_EQ(result.counters.pages, 2);
  EXPECT_EQ(result.counters.bytes, 0);
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(CrawlTest, StoredFilesOverwriteEarlierOnesAndUnwritableOnesAreReported) {
  TempDir folder;
  fs::create_directory(folder.path() / "x");
  server.serve(at("/"), "new content");
  folder.write("tarn_example_.htm", "old content that was longer");
  FetchOptions options = optionsFor(at("/"));
  options.downloadFiles = true;
  options.downloadFolder = folder.path().string();
  crawl(options);
  EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), "new content");
  EXPECT_TRUE(host.asked.empty());

  // A name longer than the file system takes: neither stored nor scanned, and said so.
  const std::string longPath = "/" + std::string(300, 'n') + anchor("/x.html");
  server.serve(at("/" + std::string(300, 'n')), anchor("/x.html"));
  tree.clearResults();
  crawl([&] {
    FetchOptions o = options;
    o.startAddress = at("/" + std::string(300, 'n'));
    return o;
  }());
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 " + at("/" + std::string(300, 'n')) + "\n");
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_NE(host.asked[0].find("File name too long"), std::string::npos) << host.asked[0];
}

// A start page and two more of 600 bytes each, against a limit of 1000 bytes.
class VolumeTest : public CrawlTest {
 protected:
  VolumeTest() {
    server.serve(at("/"), paddedPage(anchor("/two.html") + anchor("/three.html"), 600));
    server.serve(at("/two.html"), paddedPage("", 600));
    server.serve(at("/three.html"), paddedPage("", 600));
    options = optionsFor(at("/"), 1);
    options.downloadFiles = true;
    options.downloadFolder = folder.path().string();
    options.maxDownloadGB = 0.000001;
  }

  TempDir folder;
  FetchOptions options;
};

TEST_F(VolumeTest, YesStopsAtTheFirstAddressOverTheLimit) {
  host.answers = {Answer::Yes};
  const CrawlResult result = crawl(options);
  EXPECT_EQ(host.asked, Addresses{messages::kVolumeQuestion});
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(filesIn(folder.path()), Addresses{"tarn_example_.htm"});
  EXPECT_EQ(result.counters.bytes, 600);
  EXPECT_EQ(result.counters.pages, 3);
}

TEST_F(VolumeTest, NoLiftsTheLimitForTheRestOfTheCrawl) {
  host.answers = {Answer::No};
  const CrawlResult result = crawl(options);
  EXPECT_EQ(host.asked, Addresses{messages::kVolumeQuestion});
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(filesIn(folder.path()).size(), 3u);
  EXPECT_EQ(result.counters.bytes, 1800);
}

TEST_F(VolumeTest, CancelReadsThisAddressAndAsksAgainAtTheNext) {
  host.answers = {Answer::Cancel, Answer::Cancel};
  crawl(options);
  EXPECT_EQ(host.asked, (Addresses{messages::kVolumeQuestion, messages::kVolumeQuestion}));
  EXPECT_EQ(filesIn(folder.path()).size(), 3u);
}

TEST_F(VolumeTest, ReachingTheLimitExactlyAsksNothing) {
  options.maxDownloadGB = 0.0000018;
  crawl(options);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(filesIn(folder.path()).size(), 3u);
}

// A start page of three windows with one link in each, and the linked page.
class StopTest : public CrawlTest {
 protected:
  StopTest() {
    std::string page = paddedPage(anchor("/one.html"), 1024);
    page += paddedPage(anchor("/two.html"), 1024);
    page += paddedPage(anchor("/three.html"), 1024);
    server.serve(at("/"), page);
    server.serve(at("/one.html"), "<p>one</p>");
  }
};

TEST_F(StopTest, YesEndsThePageAfterItsWindowAndTheCrawl) {
  host.stopAtPump = 1;
  host.answers = {Answer::Yes};
  const CrawlResult result = crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(host.asked, Addresses{messages::kStopQuestion});
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(dumpTree(tree),
            "7  - \n"
            "  0 http://www.tarn.example/\n"
            "    1 Web links\n"
            "      5 http://www.tarn.example/one.html\n");
  EXPECT_EQ(result.addressesRead, 1u);
  EXPECT_EQ(result.counters.bytes, 1024);
}

TEST_F(StopTest, NoGoesOnAsIfNothingHadBeenPressed) {
  host.stopAtPump = 1;
  host.answers = {Answer::No};
  const CrawlResult result = crawl(optionsFor(at("/"), 1));
  EXPECT_EQ(host.asked, Addresses{messages::kStopQuestion});
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.addressesRead, 4u);
  // The search was put back into its running state, and idle at the end.
  EXPECT_EQ(host.states, (std::vector<SearchState>{SearchState::Running, SearchState::Running,
                                                   SearchState::Idle}));
  EXPECT_NE(dumpTree(tree).find("three.html"), std::string::npos);
}

TEST_F(StopTest, AStoredFileIsReadToItsEndBeforeTheCrawlStops) {
  const std::string zip(3000, 'z');
  server.serve(at("/big.zip"), zip);
  TempDir folder;
  FetchOptions options = optionsFor(at("/big.zip"));
  options.downloadFiles = true;
  options.downloadFolder = folder.path().string();
  host.stopAtPump = 1;
  const CrawlResult result = crawl(options);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(readFile(folder.path() / "big.zip"), zip);
}

TEST_F(CrawlTest, TwoCrawlsLeaveTwoStartItemsAndRewriteTheCurrentLinksFile) {
  TempDir folder;
  settings.currentLinksPath = folder.path() / "currentlinks.txt";
  server.serve(at("/one.html"), "1");
  server.serve(at("/two.html"), "2");
  crawl(optionsFor(at("/one.html")));
  EXPECT_EQ(readFile(settings.currentLinksPath), at("/one.html") + "\n");
  crawl(optionsFor(at("/two.html")));
  EXPECT_EQ(readFile(settings.currentLinksPath), at("/two.html") + "\n");
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 " + at("/one.html") + "\n  0 " + at("/two.html") + "\n");
}

TEST_F(CrawlTest, ItemsDeletedWhileTheCrawlRunsAreNeitherReadNorFilled) {
  test::serveChainSite(server);
  // At the first pump (the start page), delete the start item's first link, which waits in
  // the queue, and at the second pump (page b) clear the whole tree.
  host.onPump = [&](int pump) {
    if (pump == 1) {
      const Item start = tree.firstChild(tree.rootItem());
      const Item links = tree.firstChild(start);
      if (tree.contains(links)) tree.remove(tree.firstChild(links));
    }
    if (pump == 3) tree.clearResults();
  };
  const CrawlResult result = crawl(optionsFor(test::kChainStart, 3));
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(dumpTree(tree), "7  - \n");
  // Read: the start page, c (b was deleted), d (its links had no tree left); the rest of
  // the queue was gone with the tree.
  EXPECT_EQ(result.addressesRead, 3u);
  EXPECT_EQ(server.requestCount("http://www.chain.example/e.html"), 0u);
}

}  // namespace
}  // namespace tarnwick
