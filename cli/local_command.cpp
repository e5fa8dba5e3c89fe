#include <filesystem>
#include <iostream>
#include <memory>

#include "commands.h"
#include "export_flags.h"
#include "find_flags.h"
#include "tarnwick/local_search.h"
#include "tarnwick/options.h"
#include "terminal_host.h"
#include "terminal_text.h"
#include "tree_output.h"

namespace tarnwick::cli {

namespace {

struct LocalArgs {
  std::string path;
  std::string find;
  std::string keywords;
  bool matchCase = LocalSearchOptions{}.matchCase;
  std::string tree;
  ExportFlags exports;
};

LocalSearchOptions toOptions(const LocalArgs& args) {
  LocalSearchOptions options;
  applyFindList(args.find, options);
  options.keywords = args.keywords;
  options.matchCase = args.matchCase;
  options.searchPath = args.path;
  const bool folder = std::filesystem::is_directory(args.path);
  options.searchTarget = static_cast<int>(folder ? SearchTarget::Folder : SearchTarget::File);
  return options;
}

int runLocal(const LocalArgs& args) {
  ResultsTree tree;
  tree.clearResults();
  TerminalHost host;
  LocalSearchOptions options = toOptions(args);
  LocalSearch search(tree, host);
  const LocalSearchSummary summary = search.run(options);
  host.endProgressLine();

  int status = kExitOk;
  if (!summary.listError.empty()) {
    std::cerr << "tarnwick-cli: cannot list the folder " << printable(summary.listError) << "\n";
    status = kExitFailed;
  }
  for (const auto& path : summary.unreadable) {
    std::cerr << "tarnwick-cli: cannot read " << printable(path) << "\n";
    status = kExitFailed;
  }
  if (!args.tree.empty() && !writeTreeDump(tree, args.tree)) status = kExitFailed;
  if (writeExports(args.exports, tree, "") != kExitOk) status = kExitFailed;
  (args.tree == "-" ? std::cerr : std::cout) << options.reportText << "\n";
  return status;
}

}  // namespace

Command addLocalCommand(CLI::App& parent) {
  auto args = std::make_shared<LocalArgs>();
  Command command;
  command.app = parent.add_subcommand(
      "local", "Search one file, or every regular file directly in a folder (sorted by name)");
  command.app->add_option("PATH", args->path, "A file, or a folder whose files are searched")
      ->required()
      ->check(CLI::ExistingPath);
  addFindFlag(*command.app, args->find, "keywords");
  command.app->add_option("--keywords", args->keywords,
                          "Keywords separated by spaces; \"a phrase\" in double quotes is one keyword");
  addCaseFlags(*command.app, args->matchCase);
  command.app->add_option("--tree", args->tree, "Write the whole results tree to FILE, or - for standard output");
  addExportFlags(*command.app, args->exports);
  command.run = [args] { return runLocal(*args); };
  return command;
}

}  // namespace tarnwick::cli
