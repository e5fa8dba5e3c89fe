#pragma once

#include <cstdint>

namespace tarnwick {

// What a results-tree item is; the value is also the index of its icon.
enum class NodeKind : std::uint8_t {
  Page = 0,              // address of a crawled page, or path of a scanned file
  WebLinksCategory = 1,  // "Web links"
  EmailsCategory = 2,    // "E-mails"
  KeywordsCategory = 3,  // "Key words"
  KeywordEntry = 4,      // "(%d) '%s' "
  WebLinkEntry = 5,      // one absolute web address
  EmailEntry = 6,        // one e-mail address
  RootItem = 7,          // " - "
  ErrorItem = 8,         // one of the three page error texts
  Image = 9,             // "Images links" category and each image entry
};

constexpr int kNodeKindCount = 10;

constexpr int toInt(NodeKind kind) { return static_cast<int>(kind); }

}  // namespace tarnwick
