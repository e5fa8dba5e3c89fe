#include <iostream>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
  using namespace tarnwick::cli;
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
    if (command.app->parsed()) return command.run();
  return kExitUsage;
}
