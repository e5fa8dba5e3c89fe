// tarnwick-cli crawl against loopback sites: whole tree dumps, stored files,
// flags, exit statuses and Ctrl-C.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "crawl/test_sites.h"
#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::HttpServer;
using test::Page;
using test::ProxyEnvironment;
using test::readFile;
using test::runCli;
using test::TempDir;

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class CrawlCliTest : public ::testing::Test {
 protected:
  // Runs "crawl" with args plus "--tree FILE" and returns the dump.
  std::string crawlTree(Args args, int expectedExit = 0) {
    const fs::path treeFile = work.path() / "tree.txt";
    args.insert(args.begin(), "crawl");
    args.insert(args.end(), {"--tree", treeFile.string(), "--timeout", "5"});
    last = runCli(args);
    EXPECT_EQ(last.exitCode, expectedExit) << last.err;
    return fs::exists(treeFile) ? readFile(treeFile) : std::string("(no tree written)");
  }

  HttpServer server;
  ProxyEnvironment proxy{server.base()};
  TempDir work;
  test::ProcessResult last;
};

TEST_F(CrawlCliTest, LinksOfEveryFormFollowedOneLevel) {
  test::serveFormsSite(server);
  EXPECT_EQ(crawlTree({test::kFormsStart, "--levels", "1"}),
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
)");
  // Error statuses are not network errors: nothing on standard error, nothing on standard output.
  EXPECT_EQ(last.err, "");
  EXPECT_EQ(last.out, "");
}

TEST_F(CrawlCliTest, EachLevelReadsOneStepFurther) {
  test::serveChainSite(server);
  const std::string l0 = R"(7  - 
  0 http://www.chain.example/
    1 Web links
      5 http://www.chain.example/b.html
      5 http://www.chain.example/c.html
)";
  const std::string l1 = R"(7  - 
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
)";
  const std::string l2 = R"(7  - 
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
)";
  // At level 3, d waits in the queue when c is read again, so it is queued once; e has
  // no link and so no children.
  const std::string l3 = R"(7  - 
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
)";
  const std::string expected[] = {l0, l1, l2, l3};
  for (int level = 0; level <= 3; ++level)
    EXPECT_EQ(crawlTree({test::kChainStart, "--levels", std::to_string(level)}), expected[level])
        << "levels " << level;
}

TEST_F(CrawlCliTest, DomainFilters) {
  test::serveFilterSite(server);
  EXPECT_EQ(crawlTree({test::kFilterStart, "--levels", "1"}), R"(7  - 
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
      5 http://shop.tarn.example/s.html
        1 Web links
          5 http://shop.tarn.example/s2.html
      5 http://www.other.example/o.html
        1 Web links
          5 http://www.other.example/o2.html
)");
  // Only links that begin with the page's site, and contain the root domain.
  EXPECT_EQ(crawlTree({test::kFilterStart, "--levels", "1", "--only-root-domain"}), R"(7  - 
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
  EXPECT_EQ(crawlTree({test::kFilterStart, "--levels", "1", "--only-parent-domain"}), R"(7  - 
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

TEST_F(CrawlCliTest, StoresEveryAddressByteForByte) {
  const std::string start = "<a href=\"/files/pack.zip\">z</a> <a href=\"/img/photo.jpg\">p</a> "
                            "<a href=\"/page.html?x=1\">q</a>\r\n\x01\xff";
  const std::string zip("PK\x03\x04\x00\x00 binary \xff\xfe", 16);
  const std::string jpg("\xff\xd8\xff\xe0 jpeg", 10);
  server.serve("http://www.tarn.example/", start);
  server.serve("http://www.tarn.example/files/pack.zip", zip);
  server.serve("http://www.tarn.example/img/photo.jpg", jpg);
  server.serve("http://www.tarn.example/page.html?x=1", "page");
  for (std::string suffix : {"", "/"}) {
    TempDir folder;
    crawlTree({"http://www.tarn.example/", "--levels", "1", "--download-to",
               folder.path().string() + suffix});
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Args{"pack.zip", "tarn_example_.htm", "tarn_example_img_photo.jpg",
                           "tarn_example_page.htm"}))
        << "folder" << suffix;
    EXPECT_EQ(readFile(folder.path() / "tarn_example_.htm"), start);
    EXPECT_EQ(readFile(folder.path() / "pack.zip"), zip);
    EXPECT_EQ(readFile(folder.path() / "tarn_example_img_photo.jpg"), jpg);
    EXPECT_EQ(readFile(folder.path() / "tarn_example_page.htm"), "page");
  }
}

TEST_F(CrawlCliTest, VolumeAnswerComesFromAFlag) {
  server.serve("http://www.tarn.example/",
               test::paddedPage("<a href=\"/b.html\">b</a> <a href=\"/c.html\">c</a>", 600));
  server.serve("http://www.tarn.example/b.html", test::paddedPage("", 600));
  server.serve("http://www.tarn.example/c.html", test::paddedPage("", 600));
  struct Row {
    std::vector<std::string> flag;
    std::size_t stored;
  };
  for (const Row& row : {Row{{}, 1}, Row{{"--volume-answer", "stop"}, 1},
                         Row{{"--volume-answer", "continue"}, 3}, Row{{"--volume-answer", "once"}, 3}}) {
    TempDir folder;
    Args args{"http://www.tarn.example/", "--levels", "1", "--download-to", folder.path().string(),
              "--max-gb", "0.000001"};
    args.insert(args.end(), row.flag.begin(), row.flag.end());
    crawlTree(args);
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()),
                                                     fs::directory_iterator())),
              row.stored)
        << (row.flag.empty() ? "default" : row.flag[1]);
    EXPECT_NE(last.err.find("volume"), std::string::npos) << last.err;
  }
}

TEST_F(CrawlCliTest, NetworkErrorsGoToStandardErrorAndTheCrawlSucceeds) {
  test::ScopedEnv direct("no_proxy", "127.0.0.1");
  const std::string refused = "http://127.0.0.1:1/";
  EXPECT_EQ(crawlTree({refused}),
            "7  - \n  0 http://127.0.0.1:1/\n    8 Page is not opening. Check connection.\n");
  EXPECT_NE(last.err.find("127.0.0.1 port 1"), std::string::npos) << last.err;
}

TEST_F(CrawlCliTest, UsageErrorsWriteNothing) {
  const fs::path treeFile = work.path() / "tree.txt";
  for (Args args : {Args{"www.tarn.example"}, Args{""}, Args{"http://x.example/", "--find", "pages"},
                    Args{"http://x.example/", "--levels", "-1"},
                    Args{"http://x.example/", "--download-to", (work.path() / "none").string()},
                    Args{"http://x.example/", "--volume-answer", "maybe"}, Args{}}) {
    Args full{"crawl"};
    full.insert(full.end(), args.begin(), args.end());
    full.insert(full.end(), {"--tree", treeFile.string()});
    const auto result = runCli(full);
    EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "(no address)" : args[0]);
    EXPECT_FALSE(fs::exists(treeFile));
  }
  const auto result = runCli({"crawl", "tarn.example/index.html"});
  EXPECT_NE(result.err.find("It's look like that 'http://' or 'https://' is missing in the address."),
            std::string::npos)
      << result.err;
}

TEST_F(CrawlCliTest, ExportsAndTheCurrentLinksFileAfterTheCrawl) {
  test::serveChainSite(server);
  const fs::path exported = work.path() / "links.txt";
  const fs::path structure = work.path() / "structure.txt";
  const fs::path current = work.path() / "currentlinks.txt";
  crawlTree({test::kChainStart, "--levels", "1", "--export", exported.string(), "--sections",
             "links", "--structure", structure.string(), "--current-links", current.string()});
  EXPECT_EQ(readFile(current), std::string(test::kChainStart) + "\n");
  EXPECT_NE(readFile(exported).find("http://www.chain.example/d.html"), std::string::npos);
  EXPECT_NE(readFile(structure).find("http://www.chain.example/c.html"), std::string::npos);
}

// Starts tarnwick-cli with args, output to files in folder; returns its pid.
pid_t spawnCli(const Args& args, const fs::path& folder) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open((folder / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv{const_cast<char*>(TARNWICK_CLI_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(TARNWICK_CLI_PATH, argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for pid at most `limit`; its exit status, or -1 (then it is killed).
int waitFor(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void waitForRequest(const HttpServer& server, const std::string& address) {
  for (int i = 0; i < 1000 && server.requestCount(address) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST_F(CrawlCliTest, CtrlCEndsAfterTheCurrentWindowAndWritesTheOutputs) {
  // Five windows with a link each, 200 ms apart.
  std::string body;
  for (int i = 1; i <= 5; ++i)
    body += test::paddedPage("<a href=\"/w" + std::to_string(i) + ".html\">w</a>", 1024);
  Page slow = Page::html(body);
  slow.fault = Fault::Chunked;
  slow.pieceSize = 1024;
  slow.piecePause = std::chrono::milliseconds(200);
  server.serve("http://www.tarn.example/", slow);
  const fs::path treeFile = work.path() / "tree.txt";
  const pid_t pid = spawnCli({"crawl", "http://www.tarn.example/", "--levels", "1", "--tree",
                              treeFile.string()},
                             work.path());
  waitForRequest(server, "http://www.tarn.example/");
  kill(pid, SIGINT);
  EXPECT_EQ(waitFor(pid, std::chrono::seconds(20)), 0) << readFile(work.path() / "err");
  const std::string tree = readFile(treeFile);
  EXPECT_NE(tree.find("w1.html"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("w5.html"), std::string::npos) << tree;
  // The links found were not followed: nothing stands below them.
  EXPECT_EQ(tree.find("\n        "), std::string::npos) << tree;
}

TEST_F(CrawlCliTest, SecondCtrlCEndsAtOnce) {
  Page silent;
  silent.fault = Fault::NoResponse;
  server.serve("http://www.tarn.example/", silent);
  const pid_t pid = spawnCli({"crawl", "http://www.tarn.example/", "--timeout", "60"}, work.path());
  waitForRequest(server, "http://www.tarn.example/");
  kill(pid, SIGINT);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(pid, SIGINT);
  EXPECT_EQ(waitFor(pid, std::chrono::seconds(10)), 130);
}

}  // namespace
}  // namespace tarnwick
