#include "tree_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "tarnwick/tree_dump.h"

namespace tarnwick::cli {

bool writeTreeDump(const ResultsTree& tree, const std::string& path) {
  if (path == "-") {
    dumpTree(tree, std::cout);
    std::cout.flush();
    return static_cast<bool>(std::cout);
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) dumpTree(tree, out);
  out.close();
  if (!out) {
    std::cerr << "tarnwick-cli: cannot write the tree to " << path << ": " << std::strerror(errno)
              << "\n";
    return false;
  }
  return true;
}

}  // namespace tarnwick::cli
