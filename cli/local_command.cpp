#include "commands.h"

namespace tarnwick::cli {

Command addLocalCommand(CLI::App& parent) {
  Command command;
  command.app = parent.add_subcommand("local", "Search one file, or every regular file directly in a folder");
  command.run = [] { return kExitOk; };
  return command;
}

}  // namespace tarnwick::cli
