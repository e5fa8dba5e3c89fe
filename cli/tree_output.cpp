#include "tree_output.h"

#include <unistd.h>

#include <cstdio>
#include <ostream>

#include "fd_output.h"
#include "terminal_text.h"
#include "tarnwick/exports.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick::cli {

namespace {

bool writeToStdout(const ResultsTree& tree) {
  // What went to standard output through stdio comes first.
  std::fflush(stdout);
  FdOutputBuffer buffer(STDOUT_FILENO);
  std::ostream out(&buffer);
  dumpTree(tree, out);
  if (buffer.error() == 0) return true;
  reportStdoutFailure("the tree", buffer.error());
  return false;
}

}  // namespace

bool writeTreeDump(const ResultsTree& tree, const std::string& path) {
  if (path == "-") return writeToStdout(tree);
  const ExportResult result = saveTreeDump(tree, path);
  if (result.ok()) return true;
  std::fprintf(stderr, "tarnwick-cli: cannot write the tree to %s: %s (%s)\n",
               printable(path).c_str(), result.message.c_str(), printable(result.detail).c_str());
  return false;
}

}  // namespace tarnwick::cli
