#pragma once

#include <string>

#include "tarnwick/results_tree.h"

namespace tarnwick::cli {

// Writes the tree dump to path ("-" is standard output). False, with a
// message on standard error, when it cannot be written.
bool writeTreeDump(const ResultsTree& tree, const std::string& path);

}  // namespace tarnwick::cli
