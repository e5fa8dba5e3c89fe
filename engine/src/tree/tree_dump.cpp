#include "tarnwick/tree_dump.h"

#include <sstream>
#include <utility>
#include <vector>

namespace tarnwick {

std::string escapeLabel(std::string_view label) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(label.size());
  for (const char c : label) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out += "\\x";
          out += kHex[b >> 4];
          out += kHex[b & 15];
        } else {
          out += c;
        }
    }
  }
  return out;
}

void dumpTree(const ResultsTree& tree, std::ostream& out) {
  // Explicit stack: trees of crawls can be deep.
  std::vector<std::pair<Item, int>> pending;
  for (int row = tree.childCount(Item()) - 1; row >= 0; --row)
    pending.emplace_back(tree.child(Item(), row), 0);
  std::string line;
  while (!pending.empty()) {
    const auto [item, depth] = pending.back();
    pending.pop_back();
    line.assign(static_cast<std::size_t>(depth) * 2, ' ');
    line += std::to_string(toInt(tree.kind(item)));
    line += ' ';
    line += escapeLabel(tree.label(item));
    line += '\n';
    out << line;
    for (int row = tree.childCount(item) - 1; row >= 0; --row)
      pending.emplace_back(tree.child(item, row), depth + 1);
  }
}

std::string dumpTree(const ResultsTree& tree) {
  std::ostringstream out;
  dumpTree(tree, out);
  return out.str();
}

}  // namespace tarnwick
