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

BranchWalk::BranchWalk(const ResultsTree& tree, Item start) : tree_(tree), start_(start) {
  if (!start.isNull()) path_.push_back({start, 0});
}

Item BranchWalk::next() {
  while (!path_.empty()) {
    Level& level = path_.back();
    if (level.row < tree_.childCount(level.parent)) {
      const Item child = tree_.child(level.parent, level.row++);
      path_.push_back({child, 0});
      return child;
    }
    const Item finished = level.parent;
    path_.pop_back();
    if (finished == start_) return start_;
  }
  return Item();
}

}  // namespace tarnwick
