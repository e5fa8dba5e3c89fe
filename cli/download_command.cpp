#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "tarnwick/downloads.h"
#include "terminal_host.h"
#include "terminal_text.h"
#include "timeout_flags.h"

namespace tarnwick::cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// Shows the transfer on the terminal's progress line, a few times a second.
class ProgressLine {
 public:
  explicit ProgressLine(TerminalHost& host) : host_(host) {}

  void show(const TransferProgress& p) {
    const auto now = std::chrono::steady_clock::now();
    if (p.index == shownIndex_ && now - shownAt_ < kProgressInterval) return;
    shownIndex_ = p.index;
    shownAt_ = now;
    char counts[96];
    if (p.length >= p.bytes)
      std::snprintf(counts, sizeof counts, "%lld of %lld bytes", static_cast<long long>(p.bytes),
                    static_cast<long long>(p.length));
    else
      std::snprintf(counts, sizeof counts, "%lld bytes", static_cast<long long>(p.bytes));
    std::string line;
    if (p.count > 1) line = "[" + std::to_string(p.index + 1) + "/" + std::to_string(p.count) + "] ";
    line.append(p.address).append(": ").append(counts);
    host_.showProgressLine(line);
  }

 private:
  TerminalHost& host_;
  std::size_t shownIndex_ = SIZE_MAX;
  std::chrono::steady_clock::time_point shownAt_{};
};

DownloadObserver observe(TerminalHost& host, ProgressLine& line) {
  DownloadObserver observer;
  if (host.progressEnabled()) observer.progress = [&line](const TransferProgress& p) { line.show(p); };
  // Ctrl-C: the partial file is removed and nothing more is fetched.
  observer.stopRequested = [&host] { return host.stopRequested(); };
  return observer;
}

const char* failureText(DownloadStatus status) {
  switch (status) {
    case DownloadStatus::Stored: return "stored";
    case DownloadStatus::NoFile: return "the server answered with an error status";
    case DownloadStatus::NothingToRead: return "the server sent nothing";
    case DownloadStatus::CannotWrite: return "the file could not be written";
    case DownloadStatus::NetworkError: return "network error";
    case DownloadStatus::Stopped: return "stopped";
  }
  return "failed";
}

// Names each address not stored (on standard error), then the counts (on
// standard output). The exit status: 0 only when everything was stored.
int summarize(const std::vector<DownloadOutcome>& outcomes, std::size_t notTried) {
  std::size_t stored = 0;
  long long bytes = 0;
  for (const DownloadOutcome& o : outcomes) {
    if (o.stored()) {
      ++stored;
      bytes += o.bytes;
    } else {
      std::fprintf(stderr, "tarnwick-cli: not stored: %s (%s)\n", printable(o.address).c_str(),
                   failureText(o.status));
    }
  }
  const std::size_t failed = outcomes.size() - stored;
  std::printf("%zu stored (%lld bytes), %zu failed", stored, bytes, failed);
  if (notTried > 0) std::printf(", %zu not tried", notTried);
  std::printf("\n");
  return failed == 0 && notTried == 0 ? kExitOk : kExitFailed;
}

std::string checkNotEmpty(const std::string& value) {
  return value.empty() ? "an empty value" : std::string();
}

DownloadTimeouts timeoutsOf(const TimeoutFlags& flags) {
  DownloadTimeouts timeouts;
  if (flags.timeoutGiven()) timeouts.connect = flags.timeoutLength();
  timeouts.stall = flags.timeoutLength();
  timeouts.maxTime = flags.maxTime();
  return timeouts;
}

struct DownloadArgs {
  std::string address;
  std::string target;
  TimeoutFlags timeouts;
};

int runDownload(const DownloadArgs& args) {
  TerminalHost host;
  ProgressLine line(host);
  const DownloadOutcome outcome =
      downloadAddress(host, args.address, args.target, observe(host, line), timeoutsOf(args.timeouts));
  host.endProgressLine();
  return summarize({outcome}, 0);
}

struct DownloadListArgs {
  std::string listFile;
  std::string folder;
  TimeoutFlags timeouts;
};

int runDownloadList(const DownloadListArgs& args) {
  TerminalHost host;
  const LinkListFile list = loadLinkList(host, args.listFile);
  if (list.status == LinkListFile::Status::CannotOpen) {
    std::fprintf(stderr, "tarnwick-cli: cannot read the list of links: %s\n",
                 printable(list.reason).c_str());
    return kExitFailed;
  }
  if (list.status == LinkListFile::Status::NoLinks) return kExitFailed;
  ProgressLine line(host);
  const LinkListDownload result =
      downloadLinks(host, list.links, args.folder, observe(host, line), timeoutsOf(args.timeouts));
  host.endProgressLine();
  if (!result.connected) return kExitFailed;
  return summarize(result.outcomes, list.links.size() - result.outcomes.size());
}

}  // namespace

Command addDownloadCommand(CLI::App& parent) {
  auto args = std::make_shared<DownloadArgs>();
  Command command;
  command.app = parent.add_subcommand("download", "Download one address into a file");
  command.app->add_option("URL", args->address, "The address to download")
      ->required()
      ->check(checkNotEmpty);
  command.app->add_option("-o,--output", args->target, "The file to store it in")
      ->required()
      ->check(checkNotEmpty);
  addTimeoutFlags(*command.app, args->timeouts);
  command.run = [args] { return runDownload(*args); };
  return command;
}

Command addDownloadListCommand(CLI::App& parent) {
  auto args = std::make_shared<DownloadListArgs>();
  Command command;
  command.app = parent.add_subcommand(
      "download-list",
      "Download every address of a text file (one \"http://\" address per line) into a folder, "
      "each under its local file name");
  command.app->add_option("FILE", args->listFile, "The list of links")
      ->required()
      ->check(CLI::ExistingFile);
  command.app->add_option("-d,--directory", args->folder, "The folder that receives the files")
      ->required()
      ->check(CLI::ExistingDirectory);
  addTimeoutFlags(*command.app, args->timeouts);
  command.run = [args] { return runDownloadList(*args); };
  return command;
}

}  // namespace tarnwick::cli
