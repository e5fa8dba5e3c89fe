#include <string>

#include "tarnwick/exports.h"

namespace tarnwick {

namespace {

constexpr std::string_view kHttp = "http://";
constexpr int kMaxExamined = 100;

bool mayHoldBase(NodeKind kind) {
  return kind == NodeKind::Page || kind == NodeKind::WebLinksCategory ||
         kind == NodeKind::WebLinkEntry;
}

}  // namespace

std::string getItemLink(const ResultsTree& tree, Item item) {
  if (!tree.contains(item)) return {};
  const std::string_view text = tree.label(item);
  if (text.find(kHttp) != std::string_view::npos) return std::string(text);

  // A link entry hangs under its category, which hangs under the page or the
  // followed link that holds the base: look at every second ancestor only.
  std::string_view base;
  Item cur = item;
  for (int examined = 1;; ++examined) {
    const Item up = tree.parent(cur);
    if (up.isNull()) return {};
    cur = tree.parent(up);
    if (cur.isNull()) return {};
    if (!mayHoldBase(tree.kind(cur))) return std::string(text);
    base = tree.label(cur);
    if (base.find(kHttp) != std::string_view::npos) break;
    if (examined >= kMaxExamined) return std::string(text);
  }

  // Keep scheme and host only.
  const std::size_t slash = base.find('/', 8);
  if (slash != std::string_view::npos) base = base.substr(0, slash);
  std::string link(base);
  if (!text.starts_with('/')) link += '/';
  link += text;
  return link;
}

}  // namespace tarnwick
