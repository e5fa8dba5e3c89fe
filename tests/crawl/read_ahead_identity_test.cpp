// Fetching ahead changes when answers arrive, never what the crawl makes of
// them: on random sites whose answers come back late and out of order, with
// failures mixed in, every option set gives the same tree, exports, stored
// files and messages one address at a time as with the read-ahead.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

using test::Fault;
using test::Page;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

const Texts kHosts{"http://www.tarn.example", "http://shop.tarn.example",
                   "http://www.other.example"};
constexpr int kPages = 36;

// A site of kPages pages over three hosts, some in a folder, linking to each
// other in every form the scanner completes, to files, images, e-mails and
// missing pages. Every answer waits 0 to 25 ms; a few pages fail.
class RandomSite {
 public:
  explicit RandomSite(unsigned seed) : random_(seed) {
    for (int i = 0; i < kPages; ++i) paths_.push_back(pick(2) ? "/docs/p" : "/p");
    for (int i = 0; i < kPages; ++i) paths_[i] += std::to_string(i) + ".html";
  }
  std::string start() const { return address(0); }

  void serve(test::HttpServer& server) {
    const int stalled = 1 + pick(kPages - 1), silent = 1 + pick(kPages - 1);
    for (int i = 0; i < kPages; ++i) {
      Page page = pageFor(i, i == stalled, i == silent && i != stalled);
      page.responseDelay = std::chrono::milliseconds(pick(26));
      server.serve(address(i), page);
    }
    for (int i = 0; i < 4; ++i) {
      Page file = Page::html(std::string("PK\x03\x04", 4) + std::string(500 + pick(3000), 'z'));
      file.responseDelay = std::chrono::milliseconds(pick(26));
      server.serve(kHosts[0] + "/files/f" + std::to_string(i) + ".zip", file);
    }
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  std::string address(int i) const { return kHosts[i % kHosts.size()] + paths_[i]; }

  // A link to page `to` as page `from` may write it.
  std::string linkTo(int from, int to) {
    const bool sameHost = from % kHosts.size() == to % kHosts.size();
    if (!sameHost || pick(3) == 0) return address(to);
    const std::string& path = paths_[to];
    if (pick(2)) return path;
    const bool fromDocs = paths_[from].starts_with("/docs/");
    if (fromDocs && !path.starts_with("/docs/")) return ".." + path;
    return fromDocs ? path.substr(6) : path.substr(1);
  }

  std::string body(int i) {
    std::string text = "<html><body>\n";
    const int links = i == 0 ? 12 : 3 + pick(6);
    for (int k = 0; k < links; ++k) {
      switch (i == 0 ? 9 : pick(10)) {  // the start page links to pages only
        case 0:
          text += "<a href=\"/files/f" + std::to_string(pick(4)) + ".zip\">file</a>\n";
          break;
        case 1:
          text += "<a href=\"/missing" + std::to_string(pick(5)) + ".html\">gone</a>\n";
          break;
        case 2:
          text += "<img src=\"/img/i" + std::to_string(pick(6)) + ".jpg\">\n";
          break;
        case 3:
          text += "<a href=\"mailto:u" + std::to_string(pick(6)) + "@tarn.example\">m</a>\n";
          break;
        default:
          text += "<a href=\"" + linkTo(i, 1 + pick(kPages - 1)) + "\">page</a>\n";
      }
      if (pick(4) == 0) text += "Ultramarine " + std::string(pick(1500), '.') + "\n";
    }
    return text + std::string(pick(4000), '.') + "</body></html>\n";
  }

  Page pageFor(int i, bool stalled, bool silent) {
    const std::string text = body(i);
    if (i == 0) return Page::html(text);
    if (stalled) return stall(Page::faulty(Fault::Stall, text, 1 + pick(1500)));
    if (silent) return stall(Page::faulty(Fault::NoResponse));
    switch (pick(20)) {
      case 0:
        return Page::html("not here", 404);
      case 1:
        return Page::faulty(Fault::ResetMidBody, text, pick(static_cast<int>(text.size())));
      case 2:
        return Page::chunked(text, 200 + pick(900), std::chrono::milliseconds(pick(3)));
      case 3:
        return Page::faulty(Fault::UntilClose, text);
      case 4:
        return Page::redirect(302, address(pick(kPages)));
      case 5:
        return Page::html("");
      default:
        return Page::html(text);
    }
  }
  static Page stall(Page page) {
    page.silence = std::chrono::milliseconds(1500);
    return page;
  }

  std::mt19937 random_;
  Texts paths_;
};

// What one crawl leaves: its exit status, messages, tree, exports and stored files.
struct CrawlTraces {
  int exitCode = -1;
  std::string err, tree, exported, structure;
  std::map<std::string, std::string> stored;

  bool operator==(const CrawlTraces&) const = default;
};

CrawlTraces crawlWith(const std::string& start, Texts args, const std::string& parallel) {
  test::TempDir out;
  const fs::path downloads = out.path() / "downloads";
  fs::create_directory(downloads);
  for (std::string& arg : args)
    if (arg == "DOWNLOADS") arg = downloads.string();
  args.insert(args.begin(), {"crawl", start, "--parallel", parallel, "--timeout", "1"});
  args.insert(args.end(), {"--tree", (out.path() / "tree.txt").string(), "--export",
                           (out.path() / "export.txt").string(), "--sections",
                           "emails,links,keywords", "--structure",
                           (out.path() / "structure.txt").string()});
  const test::ProcessResult run = test::runCli(args);
  CrawlTraces traces{run.exitCode, run.err};
  const auto read = [&](const char* name) {
    return fs::exists(out.path() / name) ? test::readFile(out.path() / name) : "(none)";
  };
  traces.tree = read("tree.txt");
  traces.exported = read("export.txt");
  traces.structure = read("structure.txt");
  for (const auto& entry : fs::directory_iterator(downloads))
    traces.stored[entry.path().filename()] = test::readFile(entry.path());
  return traces;
}

TEST(ReadAheadIdentityTest, EveryOptionSetGivesTheSameResultsAsOneAddressAtATime) {
  const std::vector<Texts> optionSets{
      {"--levels", "2"},
      {"--levels", "2", "--find", "links,images,emails,keywords", "--keywords", "ultramarine"},
      {"--levels", "3", "--only-root-domain"},
      {"--levels", "3", "--only-parent-domain"},
      {"--levels", "2", "--download-to", "DOWNLOADS"},
      {"--levels", "2", "--download-to", "DOWNLOADS", "--max-gb", "0.00001", "--volume-answer",
       "once"},
      {"--levels", "2", "--download-to", "DOWNLOADS", "--max-gb", "0.00002"},  // stops there
  };
  for (const unsigned seed : {11u, 12u, 13u}) {
    test::HttpServer server(32);  // room for every connection, stalled ones included
    test::ProxyEnvironment proxy{server.base()};
    RandomSite site(seed);
    site.serve(server);
    for (const Texts& options : optionSets) {
      const CrawlTraces one = crawlWith(site.start(), options, "1");
      EXPECT_NE(one.tree.find("\n      5 "), std::string::npos) << "links were followed";
      const CrawlTraces ahead = crawlWith(site.start(), options, "8");
      EXPECT_EQ(ahead.tree, one.tree) << seed << " " << options[1] << " " << options.back();
      EXPECT_EQ(ahead.err, one.err) << seed << " " << options.back();
      EXPECT_EQ(ahead.exported, one.exported) << seed;
      EXPECT_EQ(ahead.structure, one.structure) << seed;
      EXPECT_EQ(ahead.stored, one.stored) << seed << " " << options.back();
      EXPECT_EQ(ahead.exitCode, one.exitCode) << seed;
    }
  }
}

}  // namespace
}  // namespace tarnwick
