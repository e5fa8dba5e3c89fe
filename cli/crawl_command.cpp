#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "commands.h"
#include "export_flags.h"
#include "find_flags.h"
#include "number_flags.h"
#include "tarnwick/crawl.h"
#include "tarnwick/messages.h"
#include "tarnwick/options.h"
#include "terminal_host.h"
#include "timeout_flags.h"
#include "tree_output.h"

namespace tarnwick::cli {

namespace {

// A million gigabytes: more than any disk, and exact in the double arithmetic of the limit.
constexpr double kMaxGB = 1e6;
// An hour: a politeness delay beyond it is a mistake, not a wish.
constexpr long long kMaxDelayMs = 3'600'000;

struct CrawlArgs {
  std::string url;
  std::string find;
  std::string keywords;
  bool matchCase = FetchOptions{}.matchCase;
  int levels = 0;
  bool onlyRootDomain = false;
  bool onlyParentDomain = false;
  std::string downloadTo;
  double maxGB = FetchOptions{}.maxDownloadGB;
  std::string volumeAnswer = "stop";
  TimeoutFlags timeouts;
  int parallel = FetchOptions{}.parallelConnections;
  long long delayMs = 0;
  std::string currentLinks;
  std::string tree;
  ExportFlags exports;
};

// The terminal host plus a live progress line: level, pages, bytes, the found
// counts and the address being read, at most ten times a second.
class CrawlTerminalHost : public TerminalHost {
 public:
  void setCurrentAddress(std::string_view address) override {
    address_ = address;
    draw(false);
  }
  void showCrawlStatus(const CrawlCounters& counters) override {
    counters_ = counters;
    draw(false);
  }
  // Replaces the live line with the final counts (on a terminal only), and
  // ends with the failures, when there were any.
  void finish(const CrawlResult& result) {
    endProgressLine();
    if (progressEnabled()) {
      const CrawlStatusLines lines = crawlStatusLines(counters_);
      std::fprintf(stderr, "%s\n%s\n%s\n", lines.levelAndPages.c_str(), lines.bytes.c_str(),
                   lines.found.c_str());
    }
    if (result.failedAddresses > 0 || result.storeFailures > 0)
      std::fprintf(stderr, "tarnwick-cli: %ld of %zu addresses failed, %ld could not be stored\n",
                   result.failedAddresses, result.addressesRead, result.storeFailures);
  }

 private:
  void draw(bool now) {
    if (!progressEnabled()) return;
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = time;
    const CrawlStatusLines lines = crawlStatusLines(counters_);
    std::string line = lines.levelAndPages + " " + lines.bytes + ". " + lines.found + ". " + address_;
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && line.size() >= size.ws_col)
      line.resize(size.ws_col - 1);
    showProgressLine(line);
  }

  CrawlCounters counters_;
  std::string address_;
  std::chrono::steady_clock::time_point lastDraw_;
};

FetchOptions toOptions(const CrawlArgs& args) {
  FetchOptions options;
  options.startAddress = args.url;
  applyFindList(args.find, options);
  options.keywords = args.keywords;
  options.matchCase = args.matchCase;
  options.levels = args.levels;
  options.onlyRootDomain = args.onlyRootDomain;
  options.onlyParentDomain = args.onlyParentDomain;
  options.downloadFiles = !args.downloadTo.empty();
  options.downloadFolder = args.downloadTo;
  options.maxDownloadGB = args.maxGB;
  options.parallelConnections = args.parallel;
  return options;
}

// The answer given to the download volume question.
Answer volumeAnswerOf(const std::string& flag) {
  if (flag == "continue") return Answer::No;
  if (flag == "once") return Answer::Cancel;
  return Answer::Yes;
}

// The checks "Go!" makes, as a CLI11 validator.
std::string checkAddress(const std::string& url) {
  const char* problem = startAddressProblem(url);
  return problem == nullptr ? std::string() : std::string(problem);
}

int runCrawlCommand(const CrawlArgs& args) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  const FetchOptions options = toOptions(args);
  CrawlSettings settings;
  settings.currentLinksPath = args.currentLinks;
  settings.connectTimeout = args.timeouts.timeoutLength();
  settings.stallTimeout = args.timeouts.timeoutLength();
  settings.maxTime = args.timeouts.maxTime();
  settings.requestDelay = std::chrono::milliseconds(args.delayMs);

  CrawlTerminalHost host;
  host.volumeAnswer = volumeAnswerOf(args.volumeAnswer);
  const CrawlResult result = runCrawl(tree, root, options, host, settings);
  host.finish(result);
  if (!result.connected) return kExitFailed;

  // Later failures are counted above; a start address that failed fails the
  // crawl, and so does an address that could not be stored: what was asked
  // for is not on disk.
  int status = result.startFailed || result.storeFailures > 0 ? kExitFailed : kExitOk;
  if (!args.tree.empty() && !writeTreeDump(tree, args.tree)) status = kExitFailed;
  status = std::max(status, writeExports(args.exports, tree, args.url));
  return status;
}

}  // namespace

Command addCrawlCommand(CLI::App& parent) {
  auto args = std::make_shared<CrawlArgs>();
  Command command;
  command.app = parent.add_subcommand("crawl", "Breadth-first crawl from URL");
  command.app->add_option("URL", args->url, "The start address")->required()->check(checkAddress);
  addFindFlag(*command.app, args->find, "links");
  command.app->add_option("--keywords", args->keywords,
                          "Keywords separated by spaces; \"a phrase\" in double quotes is one keyword");
  addCaseFlags(*command.app, args->matchCase);
  command.app->add_option("--levels", args->levels, "Browsing level: 0 reads the start address only")
      ->check(wholeNumberWithin(0, std::numeric_limits<std::int32_t>::max()))
      ->capture_default_str();
  command.app->add_flag("--only-root-domain", args->onlyRootDomain, "Ignore links out of the root domain");
  command.app->add_flag("--only-parent-domain", args->onlyParentDomain,
                        "Ignore links out of the page's own folder");
  auto* downloadTo = command.app->add_option("--download-to", args->downloadTo,
                                             "Store every fetched address in this folder")
                         ->check(CLI::ExistingDirectory);
  command.app->add_option("--max-gb", args->maxGB, "Download volume limit in gigabytes")
      ->check(numberWithin(0, kMaxGB))
      ->capture_default_str()
      ->needs(downloadTo);
  command.app
      ->add_option("--volume-answer", args->volumeAnswer,
                   "When the volume limit would be passed: stop; continue without a limit; or "
                   "read this address (once) and ask again at the next")
      ->check(CLI::IsMember({"stop", "continue", "once"}))
      ->capture_default_str();
  addTimeoutFlags(*command.app, args->timeouts);
  command.app
      ->add_option("--parallel", args->parallel,
                   "Requests under way at once: the address being read and the next ones in "
                   "the queue, fetched ahead (1: one address at a time)")
      ->check(wholeNumberWithin(kMinParallelConnections, kMaxParallelConnections))
      ->capture_default_str();
  command.app->add_option("--delay", args->delayMs, "Milliseconds between requests to one host")
      ->check(wholeNumberWithin(0, kMaxDelayMs))
      ->capture_default_str();
  command.app->add_option("--current-links", args->currentLinks,
                          "Rewrite FILE with the start address (the current-links file)");
  command.app->add_option("--tree", args->tree,
                          "Write the whole results tree to FILE, or - for standard output");
  addExportFlags(*command.app, args->exports);
  command.run = [args] { return runCrawlCommand(*args); };
  return command;
}

}  // namespace tarnwick::cli
