#pragma once

#include <cstdint>
#include <string>

#include "fetch/page_queue.h"
#include "tarnwick/results_tree.h"
#include "url/address_parts.h"

namespace tarnwick {

// The level of a web-link entry: how many web-link entries (kind 5) stand
// above it, the item itself not counted. A link on the start page has level 0.
// The walk up stops after 1000 steps.
int linkLevel(const ResultsTree& tree, Item item);

// The crawl's settings that decide whether a found link is followed.
struct LinkFilterOptions {
  std::int32_t levels = 0;        // browsing level; 0 follows no link
  bool onlyRootDomain = false;    // "Ignore links out root domain"
  bool onlyParentDomain = false;  // "Ignore links out parent domain"
  std::string rootDomain;         // rootDomainOf(start address)
};

// Offers a newly inserted web-link entry to the queue. Tests, in order: an
// item with the same label already waiting; the level (stored in
// currentLevel) not below options.levels; outside the root domain; not
// beginning with the folder of currentPage (the page being read). Returns
// true when the item was appended to the queue.
bool enqueueLink(const ResultsTree& tree, Item item, PageQueue& queue,
                 const LinkFilterOptions& options, const AddressParts& currentPage,
                 int& currentLevel);
// The same with the item's level already known (linkLevel of item). The item
// is queued with level + 1, the level of the links found on its page.
bool enqueueLink(const ResultsTree& tree, Item item, int level, PageQueue& queue,
                 const LinkFilterOptions& options, const AddressParts& currentPage,
                 int& currentLevel);

}  // namespace tarnwick
