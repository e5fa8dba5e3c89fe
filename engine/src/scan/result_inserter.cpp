#include "scan/result_inserter.h"

#include <charconv>

#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

constexpr int kMaxCallsPerWindow = 1000;

bool beginsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

void SeenLists::clear() {
  keywordPositions.clear();
  webLinks.clear();
  images.clear();
  emails.clear();
}

void ResultInserter::beginSource(Item item) {
  current_ = item;
  categories_ = {};
  seen_.clear();
}

void ResultInserter::scanLocal(const TextWindow& window, const ScanSelection& selection,
                               int contextWidth) {
  scan(window, selection, contextWidth, Variant::Local, nullptr);
}

void ResultInserter::scanCrawl(const TextWindow& window, const ScanSelection& selection,
                               int contextWidth, std::string_view baseAddress, LinkSink& sink) {
  if (parts.site.size() < 6) splitAddress(baseAddress, parts);
  scan(window, selection, contextWidth, Variant::Crawl, &sink);
}

void ResultInserter::scan(const TextWindow& window, const ScanSelection& selection,
                          int contextWidth, Variant variant, LinkSink* sink) {
  // The user may have deleted the source's item while events were pumped:
  // its results have nowhere to go.
  if (!tree_.contains(current_)) return;
  text_.reset(window.text);
  windowStart_ = window.windowStart;
  if (selection.keywords && !keywords.empty()) insertKeywords(contextWidth);
  if (selection.webLinks) insertLinks(variant, sink);
  if (selection.images) insertImages();
  if (selection.emails) insertEmails();
}

Item ResultInserter::category(Item& slot, const char* label, NodeKind kind) {
  // A category deleted by the user during the search is made again.
  if (!tree_.contains(slot)) slot = tree_.insert(current_, label, kind);
  return slot;
}

Item ResultInserter::insertEntry(Item& slot, const char* categoryLabel, NodeKind categoryKind,
                                 std::string_view label, NodeKind kind) {
  return tree_.insert(category(slot, categoryLabel, categoryKind), label, kind);
}

void ResultInserter::insertKeywords(int contextWidth) {
  std::string label;
  for (const Keyword& keyword : keywords) {
    int position = 0;
    int hit = 0;
    for (int call = 0; call < kMaxCallsPerWindow && hit >= 0; ++call) {
      const std::string_view snippet =
          scanNext(text_, position, contextWidth, &keyword, ScanKind::Keyword, hit, matchCase);
      if (snippet.size() < 2) continue;
      const std::int64_t at = windowStart_ + hit;
      if (!seen_.keywordPositions.insert(at).second) continue;
      char number[24];
      const auto end = std::to_chars(number, number + sizeof number, at).ptr;
      label.clear();
      label += '(';
      label.append(number, end);
      label.append(") '");
      label.append(snippet);
      label.append("' ");
      insertEntry(categories_.keywords, messages::kKeywordsCategory, NodeKind::KeywordsCategory,
                  label, NodeKind::KeywordEntry);
      ++found.keywords;
    }
  }
}

bool ResultInserter::passesPrefixFilters(std::string_view value) const {
  if (onlyRootDomain && !beginsWith(value, parts.site)) return false;
  if (onlyParentDomain && !beginsWith(value, parts.folder)) return false;
  return value.find(';') == std::string_view::npos;
}

void ResultInserter::insertLinks(Variant variant, LinkSink* sink) {
  int position = 0;
  int unusedHit = 0;
  for (int call = 0; call < kMaxCallsPerWindow; ++call) {
    std::string_view value =
        scanNext(text_, position, 0, nullptr, ScanKind::WebLink, unusedHit, matchCase);
    // A short value, a rejected tag or a fragment ends this window's links.
    if (value.size() <= 2 || value.front() == '#') return;
    if (variant == Variant::Crawl) {
      completed_ = completeLink(parts, value);
      value = completed_;
    }
    if (!passesPrefixFilters(value)) continue;
    if (!seen_.webLinks.emplace(value).second) continue;
    const Item entry = insertEntry(categories_.webLinks, messages::kWebLinksCategory,
                                   NodeKind::WebLinksCategory, value, NodeKind::WebLinkEntry);
    ++found.webLinks;
    if (sink) sink->linkInserted(entry);
  }
}

void ResultInserter::insertImages() {
  int position = 0;
  int unusedHit = 0;
  for (int call = 0; call < kMaxCallsPerWindow; ++call) {
    const std::string_view value =
        scanNext(text_, position, 0, nullptr, ScanKind::Image, unusedHit, matchCase);
    if (value.size() <= 2 || value.front() == '#') return;
    completed_ = completeLink(parts, value);
    if (!passesPrefixFilters(completed_)) continue;
    if (!seen_.images.insert(completed_).second) continue;
    insertEntry(categories_.images, messages::kImagesCategory, NodeKind::Image, completed_,
                NodeKind::Image);
    ++found.images;
  }
}

void ResultInserter::insertEmails() {
  int position = 0;
  int unusedHit = 0;
  for (int call = 0; call < kMaxCallsPerWindow && position >= 0; ++call) {
    const std::string_view value =
        scanNext(text_, position, 0, nullptr, ScanKind::Email, unusedHit, matchCase);
    if (value.empty()) continue;
    if (!seen_.emails.emplace(value).second) continue;
    insertEntry(categories_.emails, messages::kEmailsCategory, NodeKind::EmailsCategory, value,
                NodeKind::EmailEntry);
    ++found.emails;
  }
}

}  // namespace tarnwick
