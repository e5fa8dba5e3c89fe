// Result insertion (local and crawl variants) on arbitrary bytes read in
// arbitrary chunks: every entry sits in the category of its kind, no entry
// is listed twice for one source, counters and the link sink agree with the
// tree, and scanning the same bytes for a second source gives the same branch.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "scan/result_inserter.h"
#include "tarnwick/messages.h"

using namespace tarnwick;
using tarnwick::fuzz::contains;

namespace {

struct RecordingSink : LinkSink {
  const ResultsTree* tree = nullptr;
  std::vector<std::string> labels;
  void linkInserted(Item entry) override { labels.emplace_back(tree->label(entry)); }
};

struct Scan {
  std::string source;  // the bytes as the windows show them
  std::vector<std::size_t> chunks;
  ScanSelection selection;
  bool crawl = false;
  std::string baseAddress;
  int contextWidth = 100;
};

std::string asWindowText(std::string_view bytes) {
  std::string text(bytes);
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

void run(ResultInserter& inserter, const Scan& scan, RecordingSink& sink,
         const std::function<void(int)>& betweenWindows = {}) {
  TextWindowReader reader(100);
  std::size_t at = 0;
  int windows = 0;
  for (const std::size_t length : scan.chunks) {
    const TextWindow& window = reader.next(std::string_view(scan.source).substr(at, length));
    at += length;
    if (scan.crawl)
      inserter.scanCrawl(window, scan.selection, scan.contextWidth, scan.baseAddress, sink);
    else
      inserter.scanLocal(window, scan.selection, scan.contextWidth);
    if (betweenWindows) betweenWindows(windows++);
  }
}

NodeKind entryKindOf(NodeKind category) {
  switch (category) {
    case NodeKind::KeywordsCategory: return NodeKind::KeywordEntry;
    case NodeKind::WebLinksCategory: return NodeKind::WebLinkEntry;
    case NodeKind::EmailsCategory: return NodeKind::EmailEntry;
    default: return NodeKind::Image;
  }
}

std::string_view labelOf(NodeKind category) {
  switch (category) {
    case NodeKind::KeywordsCategory: return messages::kKeywordsCategory;
    case NodeKind::WebLinksCategory: return messages::kWebLinksCategory;
    case NodeKind::EmailsCategory: return messages::kEmailsCategory;
    default: return messages::kImagesCategory;
  }
}

// Every child of source is a category of a known kind with its fixed label,
// holding only entries of its kind without children. Returns the entries.
std::vector<Item> checkShape(const ResultsTree& tree, Item source, bool onceEach) {
  std::vector<Item> entries;
  std::set<NodeKind> seen;
  for (Item category = tree.firstChild(source); category; category = tree.nextSibling(category)) {
    const NodeKind kind = tree.kind(category);
    FUZZ_CHECK(kind == NodeKind::KeywordsCategory || kind == NodeKind::WebLinksCategory ||
               kind == NodeKind::EmailsCategory || kind == NodeKind::Image);
    FUZZ_CHECK(tree.label(category) == labelOf(kind));
    FUZZ_CHECK(!onceEach || seen.insert(kind).second);
    FUZZ_CHECK(tree.hasChildren(category));  // made with its first entry
    for (Item entry = tree.firstChild(category); entry; entry = tree.nextSibling(entry)) {
      FUZZ_CHECK(tree.kind(entry) == entryKindOf(kind));
      FUZZ_CHECK(!tree.hasChildren(entry));
      entries.push_back(entry);
    }
  }
  return entries;
}

bool sameBranch(const ResultsTree& tree, Item a, Item b) {
  if (tree.kind(a) != tree.kind(b) || tree.childCount(a) != tree.childCount(b)) return false;
  for (int i = 0; i < tree.childCount(a); ++i) {
    const Item x = tree.child(a, i), y = tree.child(b, i);
    if (tree.label(x) != tree.label(y) || !sameBranch(tree, x, y)) return false;
  }
  return true;
}

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

void checkEntries(const ResultsTree& tree, const ResultInserter& inserter, Item source,
                  const Scan& scan, const RecordingSink& sink) {
  const std::vector<Item> entries = checkShape(tree, source, true);
  std::set<std::pair<NodeKind, std::string_view>> labels;
  std::set<std::int64_t> positions;
  long counts[10] = {};
  std::vector<std::string> links;
  const std::string foldedSource = folded(scan.source);
  for (const Item entry : entries) {
    const NodeKind kind = tree.kind(entry);
    const std::string_view label = tree.label(entry);
    ++counts[toInt(kind)];
    if (kind == NodeKind::KeywordEntry) {
      // "(position) 'snippet' ", the keyword found at that position of the source.
      FUZZ_CHECK(label.starts_with("(") && label.ends_with("' "));
      const std::size_t close = label.find(") '");
      FUZZ_CHECK(close != std::string_view::npos);
      const std::int64_t at = std::stoll(std::string(label.substr(1, close - 1)));
      FUZZ_CHECK(positions.insert(at).second);
      FUZZ_CHECK(at >= 0 && static_cast<std::size_t>(at) < scan.source.size());
      const std::string_view snippet = label.substr(close + 3, label.size() - close - 5);
      FUZZ_CHECK(snippet.size() >= 2 && contains(scan.source, snippet));
      const bool someKeywordThere = std::any_of(
          inserter.keywords.begin(), inserter.keywords.end(), [&](const Keyword& k) {
            const std::string_view haystack = inserter.matchCase ? scan.source : foldedSource;
            return haystack.substr(static_cast<std::size_t>(at), k.text.size()) ==
                   (inserter.matchCase ? k.text : k.lower);
          });
      FUZZ_CHECK(someKeywordThere);
      continue;
    }
    FUZZ_CHECK(labels.emplace(kind, label).second);
    FUZZ_CHECK(!label.empty());
    if (kind == NodeKind::EmailEntry) {
      FUZZ_CHECK(contains(scan.source, label) && !contains(label, " "));
      continue;
    }
    FUZZ_CHECK(!contains(label, ";"));
    if (inserter.onlyRootDomain) FUZZ_CHECK(label.starts_with(inserter.parts.site));
    if (inserter.onlyParentDomain) FUZZ_CHECK(label.starts_with(inserter.parts.folder));
    if (kind == NodeKind::WebLinkEntry) {
      links.emplace_back(label);
      // A completed link may begin with "http" without being in the source.
      if (!scan.crawl) {
        FUZZ_CHECK(label.size() > 2 && label[0] != '#' && !contains(label, " "));
        FUZZ_CHECK(contains(scan.source, label));
      }
    }
  }
  FUZZ_CHECK(inserter.found.keywords == counts[toInt(NodeKind::KeywordEntry)]);
  FUZZ_CHECK(inserter.found.webLinks == counts[toInt(NodeKind::WebLinkEntry)]);
  FUZZ_CHECK(inserter.found.emails == counts[toInt(NodeKind::EmailEntry)]);
  FUZZ_CHECK(inserter.found.images == counts[toInt(NodeKind::Image)]);
  if (scan.crawl) FUZZ_CHECK(sink.labels == links);
  else FUZZ_CHECK(sink.labels.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Scan scan;
  const std::uint8_t flags = input.ConsumeIntegral<std::uint8_t>();
  scan.selection = {(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0};
  scan.crawl = (flags & 16) != 0;
  const bool deleteWhileScanning = (flags & 32) != 0;
  scan.contextWidth = input.ConsumeBool() ? 100 : input.ConsumeIntegralInRange<int>(-2, 300);
  const bool chunked = input.ConsumeBool();
  const std::string keywordText = input.ConsumeRandomLengthString(40);
  scan.baseAddress = input.ConsumeBool() ? "http://www.example.com/dir/page.htm"
                                         : input.ConsumeRandomLengthString(60);

  ResultsTree tree;
  ResultInserter inserter(tree);
  inserter.keywords = makeKeywords(splitKeywords(keywordText));
  inserter.matchCase = input.ConsumeBool();
  inserter.onlyRootDomain = input.ConsumeBool();
  inserter.onlyParentDomain = input.ConsumeBool();
  if (!scan.crawl && input.ConsumeBool()) splitAddress(scan.baseAddress, inserter.parts);

  while (input.remaining_bytes() > 0) {
    const std::size_t length =
        chunked ? input.ConsumeIntegralInRange<std::size_t>(0, 1500) : std::size_t{1024};
    const std::string bytes = input.ConsumeBytesAsString(length);
    scan.source += asWindowText(bytes);
    scan.chunks.push_back(bytes.size());
  }

  const Item root = tree.clearResults();
  RecordingSink sink;
  sink.tree = &tree;
  const Item first = tree.insert(root, "first", NodeKind::Page);
  inserter.beginSource(first);
  FUZZ_CHECK(inserter.currentItem() == first);
  run(inserter, scan, sink);
  checkEntries(tree, inserter, first, scan, sink);

  // The seen lists start afresh: the same bytes give the same branch again.
  const FoundCounters once = inserter.found;
  const Item second = tree.insert(root, "second", NodeKind::Page);
  inserter.beginSource(second);
  RecordingSink secondSink;
  secondSink.tree = &tree;
  run(inserter, scan, secondSink);
  FUZZ_CHECK(sameBranch(tree, first, second));
  FUZZ_CHECK(inserter.found.keywords == 2 * once.keywords);
  FUZZ_CHECK(inserter.found.webLinks == 2 * once.webLinks);
  FUZZ_CHECK(secondSink.labels == sink.labels);

  if (deleteWhileScanning && !scan.chunks.empty()) {
    // The user deletes what the scan holds while events are pumped: a removed
    // category is made again, a removed source takes nothing more.
    const Item third = tree.insert(root, "third", NodeKind::Page);
    inserter.beginSource(third);
    run(inserter, scan, secondSink, [&](int window) {
      if (window % 2 == 0 && tree.hasChildren(third)) tree.remove(tree.firstChild(third));
    });
    checkShape(tree, third, false);
    inserter.beginSource(third);
    tree.remove(third);
    const std::size_t items = tree.size();
    run(inserter, scan, secondSink);
    FUZZ_CHECK(tree.size() == items);
  }
  return 0;
}
