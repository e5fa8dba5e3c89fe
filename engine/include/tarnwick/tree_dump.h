#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "tarnwick/results_tree.h"

namespace tarnwick {

// Writes the whole tree, depth-first from the top level, one line per item:
// two spaces per depth, the node kind in decimal, one space, the escaped label.
void dumpTree(const ResultsTree& tree, std::ostream& out);
std::string dumpTree(const ResultsTree& tree);

// Backslash, LF, CR and TAB as \\ \n \r \t; other bytes below 0x20 and 0x7F as
// \xHH; bytes from 0x80 up unchanged.
std::string escapeLabel(std::string_view label);

}  // namespace tarnwick
