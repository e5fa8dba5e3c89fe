#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "tarnwick/results_tree.h"

namespace tarnwick::cli {

// The export flags shared by the search subcommands.
struct ExportFlags {
  std::string exportFile, sections, extensions, structureFile;
  std::optional<std::string> startAddress;
};

// --export FILE --sections LIST [--extensions TEXT] [--start-address URL] and
// --structure FILE. An unknown or empty --sections, --export without
// --sections, or a sub-flag of --export without it is a usage error at parse
// time.
void addExportFlags(CLI::App& sub, ExportFlags& flags);

// Writes the files the flags ask for from the whole tree; the domain prefix
// comes from --start-address, else from defaultStartAddress. 0 when every
// file was written, 1 (with a message on standard error) when one failed.
int writeExports(const ExportFlags& flags, const ResultsTree& tree,
                 std::string_view defaultStartAddress);

}  // namespace tarnwick::cli
