#include "tarnwick/exports.h"

namespace tarnwick {

Item getNextBranchItem(const ResultsTree& tree, Item walkItem, Item stopItem, bool& done) {
  done = false;
  if (walkItem.isNull()) {
    done = true;
    return Item();
  }
  if (Item child = tree.firstChild(walkItem)) return child;
  const Item top = tree.firstTopLevel();
  if (walkItem == stopItem || walkItem == top) {
    done = true;
    return walkItem;
  }
  if (Item sibling = tree.nextSibling(walkItem)) return sibling;
  for (Item item = walkItem;;) {
    item = tree.parent(item);
    if (item.isNull() || item == stopItem || item == top) {
      done = true;
      return item;
    }
    if (Item sibling = tree.nextSibling(item)) return sibling;
  }
}

}  // namespace tarnwick
