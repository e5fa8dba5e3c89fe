#include "export_flags.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "find_flags.h"
#include "tarnwick/exports.h"
#include "terminal_text.h"

namespace tarnwick::cli {

namespace {

std::string checkSections(const std::string& list) {
  const auto words = splitList(list);
  if (words.empty()) return "no section given (use emails,links,keywords)";
  for (const auto& word : words)
    if (word != "emails" && word != "links" && word != "keywords")
      return "unknown section '" + word + "' (use emails,links,keywords)";
  return {};
}

SaveResultsOptions toSaveOptions(const ExportFlags& flags) {
  SaveResultsOptions options;
  for (const auto& word : splitList(flags.sections)) {
    options.emails |= word == "emails";
    options.allWebLinks |= word == "links";
    options.keywords |= word == "keywords";
  }
  // An empty extension list filters nothing, so an absent flag and an empty
  // text agree.
  options.onlyWithExtensions = !flags.extensions.empty();
  options.extensionText = flags.extensions;
  return options;
}

std::string checkFileName(const std::string& name) {
  return name.empty() ? "an empty file name" : std::string();
}

int report(const ExportResult& result) {
  if (result.ok()) return kExitOk;
  std::fprintf(stderr, "tarnwick-cli: %s", result.message.c_str());
  if (!result.detail.empty()) std::fprintf(stderr, " (%s)", printable(result.detail).c_str());
  std::fputc('\n', stderr);
  return kExitFailed;
}

}  // namespace

void addExportFlags(CLI::App& sub, ExportFlags& flags) {
  auto* file = sub.add_option("--export", flags.exportFile,
                              "Write the \"Save results\" file of the whole tree to FILE")
                   ->check(checkFileName);
  auto* sections = sub.add_option("--sections", flags.sections,
                                  "Sections of --export: comma list of emails,links,keywords")
                       ->check(checkSections);
  auto* extensions = sub.add_option(
      "--extensions", flags.extensions,
      "Only web links with one of these page extensions (separated by spaces, commas or "
      "semicolons; no dots needed)");
  auto* start = sub.add_option("--start-address", flags.startAddress,
                               "Address whose domain is put before pages without \"http:\" in "
                               "--export");
  file->needs(sections);
  sections->needs(file);
  extensions->needs(file);
  start->needs(file);
  sub.add_option("--structure", flags.structureFile,
                 "Write the \"Save all tree with structrure\" file to FILE")
      ->check(checkFileName);
}

int writeExports(const ExportFlags& flags, const ResultsTree& tree,
                 std::string_view defaultStartAddress) {
  int status = kExitOk;
  if (!flags.exportFile.empty()) {
    const std::string_view startAddress =
        flags.startAddress ? std::string_view(*flags.startAddress) : defaultStartAddress;
    status = std::max(status, report(saveResults(tree, toSaveOptions(flags), Item(), startAddress,
                                                 flags.exportFile)));
  }
  if (!flags.structureFile.empty()) {
    const ExportResult result = saveTreeStructure(tree, flags.structureFile);
    if (result.status == ExportStatus::NothingToSave)
      std::fprintf(stderr, "tarnwick-cli: nothing under the root item: %s not written\n",
                   printable(flags.structureFile).c_str());
    status = std::max(status, report(result));
  }
  return status;
}

}  // namespace tarnwick::cli
