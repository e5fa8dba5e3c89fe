#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "tarnwick/results_tree.h"

namespace tarnwick {

// The crawl's first-in first-out queue of tree items whose addresses are still
// to be read. Each item waits with its label (its address); the duplicate test
// by label is hashed, so a queue of 100,000 waiting items costs no more per
// test than a queue of ten. Every distinct waiting label is stored once.
class PageQueue {
 public:
  // Appends item at the end; label is the item's address, linksLevel the
  // level of the links that will be found on its page (0 for the start).
  void push(Item item, std::string_view label, int linksLevel = 0);
  // Removes and returns the front item; a null item when the queue is empty.
  Item pop();
  // The front item without removing it; a null item when the queue is empty.
  Item front() const { return entries_.empty() ? Item() : entries_.front().item; }
  // The front item's linksLevel; 0 when the queue is empty.
  int frontLevel() const { return entries_.empty() ? 0 : entries_.front().linksLevel; }
  // The i-th waiting item (0 is the front) and its label; i below size().
  Item itemAt(std::size_t i) const { return entries_[i].item; }
  std::string_view labelAt(std::size_t i) const { return entries_[i].label->first; }
  // Whether the i-th waiting label names a file (IsFileAddress), worked out once per entry.
  bool isFileAt(std::size_t i) const;
  // True when an item with exactly this label is waiting.
  bool containsLabel(std::string_view label) const;
  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  void clear();
  // Drops the waiting items that the tree no longer holds (the user deleted
  // or cleared them during the crawl), keeping the order of the others.
  // Returns how many were dropped.
  std::size_t dropRemoved(const ResultsTree& tree);

 private:
  struct LabelHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view label) const {
      return std::hash<std::string_view>{}(label);
    }
  };
  // Waiting label -> number of waiting items that carry it.
  using LabelCounts = std::unordered_map<std::string, std::size_t, LabelHash, std::equal_to<>>;
  struct Entry {
    Item item;
    LabelCounts::value_type* label;  // nodes of the map never move
    int linksLevel;
    mutable signed char isFile = -1;  // -1: not worked out yet
  };

  void release(LabelCounts::value_type* label);

  std::deque<Entry> entries_;
  LabelCounts labels_;
};

}  // namespace tarnwick
