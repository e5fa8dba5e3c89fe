#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tarnwick/node_kind.h"

namespace tarnwick {

// A handle to one item of a ResultsTree. It does not own the item; the tree
// can tell whether the item still exists (see ResultsTree::contains), so a
// search that pumps events can notice that the user deleted what it holds.
class Item {
 public:
  Item() = default;
  bool isNull() const { return index_ == kNull; }
  explicit operator bool() const { return !isNull(); }
  friend bool operator==(Item, Item) = default;
  std::uint32_t index() const { return index_; }

 private:
  friend class ResultsTree;
  static constexpr std::uint32_t kNull = UINT32_MAX;
  Item(std::uint32_t index, std::uint32_t epoch) : index_(index), epoch_(epoch) {}
  std::uint32_t index_ = kNull;
  std::uint32_t epoch_ = 0;
};

// Told about every change, in the order a Qt item model needs them.
class TreeListener {
 public:
  virtual ~TreeListener() = default;
  // `row` is where the new item will stand among parent's children
  // (parent is null for a top-level item).
  virtual void aboutToInsert(Item /*parent*/, int /*row*/) {}
  virtual void inserted(Item /*item*/) {}
  virtual void aboutToRemove(Item /*parent*/, int /*row*/) {}
  virtual void removed() {}
  virtual void aboutToReset() {}
  virtual void reset() {}
};

// The results tree: the only store of what a search found. Items are always
// appended as the last child of their parent and never move; labels never
// change after insertion.
//
// Storage: one 48-byte record per item in fixed blocks, labels in a chunked
// arena. Records of removed items are dropped only by clearResults(), so the
// child lists stay sorted by index and a row lookup is a binary search.
class ResultsTree {
 public:
  ResultsTree();
  ~ResultsTree();
  ResultsTree(const ResultsTree&) = delete;
  ResultsTree& operator=(const ResultsTree&) = delete;

  // Removes every item, then adds the single root item " - " (kind 7) at the
  // top level and returns it. Handles from before become stale.
  Item clearResults();

  // Appends a new item as the last child of parent (a null parent appends at
  // the top level). parent must be a live item of this tree.
  Item insert(Item parent, std::string_view label, NodeKind kind);

  // Removes item and its whole branch.
  void remove(Item item);

  // True while item is a live item of this tree.
  bool contains(Item item) const;

  // Valid until clearResults() or the tree's end.
  std::string_view label(Item item) const;
  NodeKind kind(Item item) const;

  Item parent(Item item) const;
  Item firstChild(Item item) const;
  Item nextSibling(Item item) const;
  bool hasChildren(Item item) const;
  Item firstTopLevel() const;

  // Children of item (of the top level for a null item), for views.
  int childCount(Item item) const;
  Item child(Item item, int row) const;
  int row(Item item) const;
  // The live item whose index() is index, or null: lets a view keep plain
  // integers instead of handles.
  Item handleOf(std::uint32_t index) const;

  // The root item made by the last clearResults() (null before the first).
  Item rootItem() const { return root_; }
  // Number of live items.
  std::size_t size() const { return live_; }
  // Grows with every remove() and clearResults(): holders of handles compare
  // it to learn cheaply whether any of theirs may have gone.
  std::uint64_t removals() const { return removals_; }
  // Bytes of all labels stored since the last clear.
  std::size_t labelBytes() const;

  void setListener(TreeListener* listener) { listener_ = listener; }
  void reserve(std::size_t items);

 private:
  struct Node;
  class LabelArena;

  const Node& node(Item item) const;
  Node& node(Item item);
  const std::vector<std::uint32_t>& childrenOf(Item item) const;
  std::vector<std::uint32_t>& childrenOf(Item item);
  Item handle(std::uint32_t index) const { return Item(index, epoch_); }
  void markDead(std::uint32_t index);

  Node& at(std::uint32_t index) const;

  // Records in fixed blocks: growing never moves them, and a large tree is
  // touched once rather than copied at every doubling.
  class NodeBlock {
   public:
    explicit NodeBlock(std::size_t capacity);
    NodeBlock(NodeBlock&& other) noexcept;
    ~NodeBlock();
    Node& add(Node&& node);
    Node& at(std::size_t i) const;

   private:
    std::unique_ptr<void, void (*)(void*)> memory_;
    std::size_t size_ = 0;
  };
  std::vector<NodeBlock> blocks_;
  std::uint32_t count_ = 0;
  std::vector<std::uint32_t> topLevel_;
  std::unique_ptr<LabelArena> labels_;
  std::uint32_t epoch_ = 0;
  std::size_t live_ = 0;
  std::uint64_t removals_ = 0;
  Item root_;
  TreeListener* listener_ = nullptr;
};

}  // namespace tarnwick
