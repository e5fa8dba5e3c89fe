#include "fetch/page_queue.h"

#include <algorithm>

#include "url/file_address.h"

namespace tarnwick {

void PageQueue::push(Item item, std::string_view label, int linksLevel) {
  auto found = labels_.find(label);
  if (found == labels_.end()) found = labels_.emplace(std::string(label), 0).first;
  ++found->second;
  entries_.push_back(Entry{item, &*found, linksLevel, -1});
}

Item PageQueue::pop() {
  if (entries_.empty()) return Item();
  const Entry front = entries_.front();
  entries_.pop_front();
  release(front.label);
  return front.item;
}

bool PageQueue::isFileAt(std::size_t i) const {
  const Entry& entry = entries_[i];
  if (entry.isFile < 0) entry.isFile = isFileAddress(entry.label->first) ? 1 : 0;
  return entry.isFile == 1;
}

bool PageQueue::containsLabel(std::string_view label) const {
  return labels_.find(label) != labels_.end();
}

void PageQueue::clear() {
  entries_.clear();
  labels_.clear();
}

std::size_t PageQueue::dropRemoved(const ResultsTree& tree) {
  const auto kept = std::stable_partition(entries_.begin(), entries_.end(),
                                          [&](const Entry& e) { return tree.contains(e.item); });
  const auto dropped = static_cast<std::size_t>(entries_.end() - kept);
  for (auto it = kept; it != entries_.end(); ++it) release(it->label);
  entries_.erase(kept, entries_.end());
  return dropped;
}

void PageQueue::release(LabelCounts::value_type* label) {
  if (--label->second == 0) labels_.erase(labels_.find(label->first));
}

}  // namespace tarnwick
