#include "url/link_filter.h"

#include <string_view>

#include "url/root_domain.h"

namespace tarnwick {

int linkLevel(const ResultsTree& tree, Item item) {
  int level = 0;
  Item above = tree.parent(item);
  while (!above.isNull()) {
    if (tree.kind(above) == NodeKind::WebLinkEntry) ++level;
    above = tree.parent(above);
  }
  return level;
}

bool enqueueLink(const ResultsTree& tree, Item item, PageQueue& queue,
                 const LinkFilterOptions& options, const AddressParts& currentPage,
                 int& currentLevel) {
  if (queue.containsLabel(tree.label(item))) return false;
  return enqueueLink(tree, item, linkLevel(tree, item), queue, options, currentPage, currentLevel);
}

bool enqueueLink(const ResultsTree& tree, Item item, int level, PageQueue& queue,
                 const LinkFilterOptions& options, const AddressParts& currentPage,
                 int& currentLevel) {
  const std::string_view text = tree.label(item);
  if (queue.containsLabel(text)) return false;
  currentLevel = level;
  if (level >= options.levels) return false;
  if (options.onlyRootDomain && !isInRootDomain(text, options.rootDomain)) return false;
  if (options.onlyParentDomain && text.substr(0, currentPage.folder.size()) != currentPage.folder)
    return false;
  queue.push(item, text, level + 1);
  return true;
}

}  // namespace tarnwick
