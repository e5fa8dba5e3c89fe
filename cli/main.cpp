#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "fd_output.h"

namespace {

// What stdio still holds for standard output must arrive, or the run failed.
int flushStdout(int status) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  tarnwick::cli::reportStdoutFailure("the results", errno);
  return std::max(status, tarnwick::cli::kExitFailed);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarnwick::cli;
  // A closed pipe is an error to report, not a reason to die without a word.
  std::signal(SIGPIPE, SIG_IGN);
  CLI::App app{"tarnwick-cli: harvest web links, image links, e-mail addresses and keyword hits\n"
               "from local files and web sites into a results tree."};
  app.require_subcommand(1);
  std::vector<Command> commands{
      addLocalCommand(app),
      addCrawlCommand(app),
      addDownloadCommand(app),
      addDownloadListCommand(app),
  };
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }
  for (const Command& command : commands)
    if (command.app->parsed()) return flushStdout(command.run());
  return kExitUsage;
}
