#pragma once

#include <string>
#include <string_view>

#include "tarnwick/messages.h"
#include "tarnwick/results_tree.h"

namespace tarnwick::test {

// Builds trees shaped as the searches leave them: pages under the root,
// categories under pages and followed links, entries under categories.
struct TreeFixture {
  ResultsTree tree;
  Item root = tree.clearResults();

  Item page(std::string_view label) { return tree.insert(root, label, NodeKind::Page); }
  Item add(Item parent, std::string_view label, NodeKind kind) {
    return tree.insert(parent, label, kind);
  }
  Item webLinks(Item under) { return add(under, messages::kWebLinksCategory, NodeKind::WebLinksCategory); }
  Item emails(Item under) { return add(under, messages::kEmailsCategory, NodeKind::EmailsCategory); }
  Item keywords(Item under) { return add(under, messages::kKeywordsCategory, NodeKind::KeywordsCategory); }
  Item link(Item category, std::string_view address) {
    return add(category, address, NodeKind::WebLinkEntry);
  }
  Item email(Item category, std::string_view address) {
    return add(category, address, NodeKind::EmailEntry);
  }
  Item keyword(Item category, std::string_view text) {
    return add(category, text, NodeKind::KeywordEntry);
  }
  // A link followed from `from`: a "Web links" category under it holding the new link.
  Item follow(Item from, std::string_view address) { return link(webLinks(from), address); }
};

}  // namespace tarnwick::test
