#include "tarnwick/results_tree.h"

#include "tree/large_block.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace tarnwick {

namespace {
constexpr std::uint32_t kNone = UINT32_MAX;
constexpr std::size_t kChunkBytes = kLargeBlockBytes;
constexpr std::uint32_t kBlockShift = 15;
constexpr std::uint32_t kBlockSize = 1u << kBlockShift;
}  // namespace

struct ResultsTree::Node {
  const char* label;
  std::uint32_t length;
  std::uint32_t parent;  // kNone for a top-level item
  std::vector<std::uint32_t> children;
  NodeKind kind;
  bool alive;
};


// Labels live in 64 KiB chunks that never move, so a label view stays valid
// while the tree grows.
class ResultsTree::LabelArena {
 public:
  const char* store(std::string_view text) {
    if (text.empty()) return "";
    if (text.size() > kChunkBytes / 4) {
      big_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
      std::memcpy(big_.back().get(), text.data(), text.size());
      bytes_ += text.size();
      return big_.back().get();
    }
    if (chunks_.empty() || used_ + text.size() > kChunkBytes) {
      chunks_.push_back(allocateLargeBlock(kChunkBytes));
      used_ = 0;
    }
    char* at = static_cast<char*>(chunks_.back().get()) + used_;
    std::memcpy(at, text.data(), text.size());
    used_ += text.size();
    bytes_ += text.size();
    return at;
  }
  std::size_t bytes() const { return bytes_; }

 private:
  std::vector<LargeBlock> chunks_;
  std::vector<std::unique_ptr<char[]>> big_;
  std::size_t used_ = 0;
  std::size_t bytes_ = 0;
};

ResultsTree::ResultsTree() : labels_(std::make_unique<LabelArena>()) {
  static_assert(sizeof(void*) != 8 || sizeof(Node) <= 48, "an item costs at most 48 bytes");
}
ResultsTree::~ResultsTree() = default;

Item ResultsTree::clearResults() {
  if (listener_) listener_->aboutToReset();
  blocks_.clear();
  count_ = 0;
  topLevel_.clear();
  labels_ = std::make_unique<LabelArena>();
  ++epoch_;
  ++removals_;
  live_ = 0;
  root_ = Item();
  if (listener_) listener_->reset();
  root_ = insert(Item(), " - ", NodeKind::RootItem);
  return root_;
}

Item ResultsTree::insert(Item parent, std::string_view label, NodeKind kind) {
  if (!parent.isNull() && !contains(parent))
    throw std::logic_error("insert under an item that is no longer in the tree");
  if (count_ >= kNone - 1) throw std::length_error("results tree is full");
  auto& siblings = childrenOf(parent);
  if (listener_) listener_->aboutToInsert(parent, static_cast<int>(siblings.size()));
  const std::uint32_t index = count_;
  if ((index & (kBlockSize - 1)) == 0) blocks_.emplace_back(kBlockSize);
  blocks_.back().add(Node{labels_->store(label), static_cast<std::uint32_t>(label.size()),
                          parent.isNull() ? kNone : parent.index_, {}, kind, true});
  ++count_;
  siblings.push_back(index);
  ++live_;
  Item item = handle(index);
  if (listener_) listener_->inserted(item);
  return item;
}

void ResultsTree::markDead(std::uint32_t index) {
  // Iterative, so a deep branch cannot exhaust the stack.
  std::vector<std::uint32_t> pending{index};
  while (!pending.empty()) {
    const auto at = pending.back();
    pending.pop_back();
    Node& n = this->at(at);
    n.alive = false;
    --live_;
    pending.insert(pending.end(), n.children.begin(), n.children.end());
    std::vector<std::uint32_t>().swap(n.children);
  }
}

void ResultsTree::remove(Item item) {
  if (!contains(item)) return;
  const Item up = parent(item);
  const int at = row(item);
  if (listener_) listener_->aboutToRemove(up, at);
  auto& siblings = childrenOf(up);
  siblings.erase(siblings.begin() + at);
  markDead(item.index_);
  ++removals_;
  if (item == root_) root_ = Item();
  if (listener_) listener_->removed();
}

bool ResultsTree::contains(Item item) const {
  return !item.isNull() && item.epoch_ == epoch_ && item.index_ < count_ && at(item.index_).alive;
}

Item ResultsTree::handleOf(std::uint32_t index) const {
  const Item item = handle(index);
  return contains(item) ? item : Item();
}

const ResultsTree::Node& ResultsTree::node(Item item) const {
  if (!contains(item)) throw std::logic_error("stale or null results-tree item");
  return at(item.index_);
}

ResultsTree::Node& ResultsTree::node(Item item) {
  return const_cast<Node&>(std::as_const(*this).node(item));
}

const std::vector<std::uint32_t>& ResultsTree::childrenOf(Item item) const {
  return item.isNull() ? topLevel_ : node(item).children;
}

std::vector<std::uint32_t>& ResultsTree::childrenOf(Item item) {
  return item.isNull() ? topLevel_ : node(item).children;
}

std::string_view ResultsTree::label(Item item) const {
  const Node& n = node(item);
  return {n.label, n.length};
}

NodeKind ResultsTree::kind(Item item) const { return node(item).kind; }

Item ResultsTree::parent(Item item) const {
  const Node& n = node(item);
  return n.parent == kNone ? Item() : handle(n.parent);
}

Item ResultsTree::firstChild(Item item) const {
  const Node& n = node(item);
  return n.children.empty() ? Item() : handle(n.children.front());
}

Item ResultsTree::nextSibling(Item item) const {
  const auto& siblings = childrenOf(parent(item));
  const auto at = static_cast<std::size_t>(row(item)) + 1;
  return at < siblings.size() ? handle(siblings[at]) : Item();
}

bool ResultsTree::hasChildren(Item item) const { return !node(item).children.empty(); }

Item ResultsTree::firstTopLevel() const {
  return topLevel_.empty() ? Item() : handle(topLevel_.front());
}

int ResultsTree::childCount(Item item) const {
  return static_cast<int>(childrenOf(item).size());
}

Item ResultsTree::child(Item item, int row) const {
  const auto& children = childrenOf(item);
  if (row < 0 || static_cast<std::size_t>(row) >= children.size()) return Item();
  return handle(children[static_cast<std::size_t>(row)]);
}

int ResultsTree::row(Item item) const {
  // Children are appended in creation order and records are never reused,
  // so every child list is sorted by index.
  const auto& siblings = childrenOf(parent(item));
  const auto it = std::lower_bound(siblings.begin(), siblings.end(), item.index_);
  assert(it != siblings.end() && *it == item.index_);
  return static_cast<int>(it - siblings.begin());
}

std::size_t ResultsTree::labelBytes() const { return labels_->bytes(); }

void ResultsTree::reserve(std::size_t items) { blocks_.reserve(items / kBlockSize + 1); }

ResultsTree::Node& ResultsTree::at(std::uint32_t index) const {
  return blocks_[index >> kBlockShift].at(index & (kBlockSize - 1));
}

ResultsTree::NodeBlock::NodeBlock(std::size_t capacity)
    : memory_(allocateLargeBlock(capacity * sizeof(Node))) {}

ResultsTree::NodeBlock::NodeBlock(NodeBlock&& other) noexcept
    : memory_(std::move(other.memory_)), size_(std::exchange(other.size_, 0)) {}

ResultsTree::NodeBlock::~NodeBlock() {
  for (std::size_t i = 0; i < size_; ++i) at(i).~Node();
}

ResultsTree::Node& ResultsTree::NodeBlock::add(Node&& node) {
  Node* slot = new (static_cast<Node*>(memory_.get()) + size_) Node(std::move(node));
  ++size_;
  return *slot;
}

ResultsTree::Node& ResultsTree::NodeBlock::at(std::size_t i) const {
  return static_cast<Node*>(memory_.get())[i];
}

}  // namespace tarnwick
