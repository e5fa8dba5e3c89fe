#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "scan/keyword_list.h"
#include "scan/page_scanner.h"
#include "scan/text_window.h"
#include "tarnwick/results_tree.h"
#include "url/address_parts.h"

namespace tarnwick {

// Which categories a search looks for.
struct ScanSelection {
  bool webLinks = false;
  bool images = false;
  bool emails = false;
  bool keywords = false;
};

// Results found over a whole crawl or local search.
struct FoundCounters {
  long webLinks = 0;
  long emails = 0;
  long keywords = 0;
  long images = 0;
};

// What one source (page or file) has already listed; emptied at every source.
struct SeenLists {
  std::unordered_set<std::int64_t> keywordPositions;
  std::unordered_set<std::string> webLinks;
  std::unordered_set<std::string> images;
  std::unordered_set<std::string> emails;
  void clear();
};

// Told about every web-link entry the crawl variant inserts (EnqueueLink).
class LinkSink {
 public:
  virtual ~LinkSink() = default;
  virtual void linkInserted(Item entry) = 0;
};

// Scans text windows and inserts every new result under the current item,
// each category under its own category item made with its first entry.
class ResultInserter {
 public:
  explicit ResultInserter(ResultsTree& tree) : tree_(tree) {}

  // Per search.
  std::vector<Keyword> keywords;
  bool matchCase = true;
  bool onlyRootDomain = false;
  bool onlyParentDomain = false;
  FoundCounters found;
  // Address parts of the page being read; the local variant uses what is held.
  AddressParts parts;

  // Starts a new source: its item becomes the current item, the seen lists
  // and category items start afresh.
  void beginSource(Item item);
  Item currentItem() const { return current_; }

  // Local variant: links as found, images completed against the parts held.
  void scanLocal(const TextWindow& window, const ScanSelection& selection, int contextWidth);
  // Crawl variant: links completed against the page's parts, then offered to sink.
  void scanCrawl(const TextWindow& window, const ScanSelection& selection, int contextWidth,
                 std::string_view baseAddress, LinkSink& sink);

 private:
  enum class Variant { Local, Crawl };
  struct Categories {
    Item keywords, webLinks, images, emails;
  };

  void scan(const TextWindow& window, const ScanSelection& selection, int contextWidth,
            Variant variant, LinkSink* sink);
  void insertKeywords(int contextWidth);
  void insertLinks(Variant variant, LinkSink* sink);
  void insertImages();
  void insertEmails();
  bool passesPrefixFilters(std::string_view value) const;
  Item category(Item& slot, const char* label, NodeKind kind);
  Item insertEntry(Item& slot, const char* categoryLabel, NodeKind categoryKind,
                   std::string_view label, NodeKind kind);

  ResultsTree& tree_;
  Item current_;
  Categories categories_;
  SeenLists seen_;
  ScanText text_;
  std::int64_t windowStart_ = 0;
  std::string completed_;
};

}  // namespace tarnwick
