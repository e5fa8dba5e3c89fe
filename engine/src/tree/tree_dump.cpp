#include "tarnwick/tree_dump.h"

#include <sstream>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

void appendEscaped(std::string& out, std::string_view label) {
  static constexpr char kHex[] = "0123456789abcdef";
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
}

}  // namespace

std::string escapeLabel(std::string_view label) {
  std::string out;
  out.reserve(label.size());
  appendEscaped(out, label);
  return out;
}

void dumpTree(const ResultsTree& tree, std::ostream& out) {
  // Explicit stack: trees of crawls can be deep.
  std::vector<std::pair<Item, int>> pending;
  for (int row = tree.childCount(Item()) - 1; row >= 0; --row)
    pending.emplace_back(tree.child(Item(), row), 0);
  // Lines are gathered into blocks: one stream write per line is the slow part.
  constexpr std::size_t kBlock = 64 * 1024;
  std::string block;
  block.reserve(kBlock * 2);
  while (!pending.empty()) {
    const auto [item, depth] = pending.back();
    pending.pop_back();
    block.append(static_cast<std::size_t>(depth) * 2, ' ');
    block += static_cast<char>('0' + toInt(tree.kind(item)));
    block += ' ';
    appendEscaped(block, tree.label(item));
    block += '\n';
    if (block.size() >= kBlock) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
    for (int row = tree.childCount(item) - 1; row >= 0; --row)
      pending.emplace_back(tree.child(item, row), depth + 1);
  }
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

std::string dumpTree(const ResultsTree& tree) {
  std::ostringstream out;
  dumpTree(tree, out);
  return out.str();
}

}  // namespace tarnwick
