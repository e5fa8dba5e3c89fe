// The "Save results" and structure writers on random trees (with removed
// branches), each file compared with one written from a plain model of the
// same tree; the tree and its branch walks are checked against the model too.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "scratch_folder.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"

using namespace tarnwick;

namespace {

// The tree as nested vectors; index 0 is a virtual top holding the top level.
struct Model {
  struct Node {
    std::string label;
    NodeKind kind = NodeKind::Page;
    int parent = -1;
    std::vector<int> children;
    Item item;
  };
  std::vector<Node> nodes{Node{}};
  std::vector<int> live() const {
    std::vector<int> out;
    collect(0, out);
    return out;
  }
  void collect(int node, std::vector<int>& out) const {
    for (int child : nodes[node].children) {
      out.push_back(child);
      collect(child, out);
    }
  }
};

const char* const kLabels[] = {
    "Web links", "E-mails", "Key words", "Images links", "This link was followed", " - ",
    "http://www.site.com/a.html", "http://site.net/b.php?x=1", "site.com/c.hml", "/data/d.txt",
    "me@site.org", "(12) 'some keyword' ", "", "http:", "page.p"};

std::string labelFrom(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return input.ConsumeRandomLengthString(40);
  return kLabels[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kLabels) - 1)];
}

// A label as the writers put it: one line, every CR and LF a blank.
std::string inLine(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void descendants(const Model& model, int node, std::vector<int>& out) { model.collect(node, out); }

std::string referenceResults(const Model& model, int start, const SaveResultsOptions& options,
                             std::string_view startAddress) {
  std::vector<int> order;
  if (start > 0) {
    descendants(model, start, order);
    order.push_back(start);
  }
  std::string out;
  const auto label = [&](int n) { return inLine(model.nodes[n].label); };
  if (options.emails) {
    const std::string prefix = domainPrefix(startAddress);
    for (int n : order) {
      if (model.nodes[n].kind != NodeKind::EmailEntry) continue;
      const int category = model.nodes[n].parent;
      const int page = category > 0 ? model.nodes[category].parent : 0;
      const std::string pageLabel = page > 0 ? model.nodes[page].label : std::string();
      out += label(n) + "  " + (pageLabel.find("http:") == std::string::npos ? inLine(prefix) : "") +
             inLine(pageLabel) + "\n";
    }
  }
  if (options.allWebLinks) {
    const std::vector<std::string> extensions =
        options.onlyWithExtensions ? splitExtensions(options.extensionText) : std::vector<std::string>{};
    std::set<std::string> written;
    for (int n : order) {
      const NodeKind kind = model.nodes[n].kind;
      const std::string& raw = model.nodes[n].label;
      const std::string text = label(n);
      if (kind != NodeKind::WebLinkEntry && kind != NodeKind::WebLinksCategory && kind != NodeKind::Page)
        continue;
      if (raw == messages::kWebLinksCategory || raw.starts_with("This link")) continue;
      bool listed = extensions.empty();
      for (const std::string& e : extensions) {
        const std::size_t at = raw.find(e);
        listed = listed || (at != std::string::npos && at > 0);
      }
      if (listed && written.insert(raw).second) out += text + "\r\n";
    }
  }
  if (options.keywords)
    for (int n : order)
      if (model.nodes[n].kind == NodeKind::KeywordEntry) out += label(n) + "\n";
  return out;
}

struct StructureModel {
  const Model& model;
  std::string out;

  void line(std::size_t indent, int n) { out += std::string(indent, ' ') + inLine(model.nodes[n].label) + "\n"; }
  void listed(std::size_t indent, int n) {
    if (model.nodes[n].label.find("This link") == std::string::npos) line(indent, n);
  }
  // The listing of item at a level, then each link found in it one level down;
  // below the fourth level everything is flat.
  void level(int item, int depth) {
    std::vector<int> links;
    for (int group : model.nodes[item].children) {
      listed(2 * depth, group);
      for (int entry : model.nodes[group].children) {
        listed(2 * depth, entry);
        if (model.nodes[entry].kind == NodeKind::WebLinkEntry) links.push_back(entry);
      }
    }
    for (int link : links) {
      if (depth < 4) {
        level(link, depth + 1);
      } else {
        line(20, link);
        std::vector<int> below;
        descendants(model, link, below);
        for (int n : below) line(20, n);
      }
    }
  }
};

void checkTree(const ResultsTree& tree, const Model& model) {
  const std::vector<int> live = model.live();
  FUZZ_CHECK(tree.size() == live.size());
  for (int n : live) {
    const Model::Node& node = model.nodes[n];
    FUZZ_CHECK(tree.contains(node.item));
    FUZZ_CHECK(tree.label(node.item) == node.label && tree.kind(node.item) == node.kind);
    FUZZ_CHECK(tree.parent(node.item) == (node.parent > 0 ? model.nodes[node.parent].item : Item()));
    FUZZ_CHECK(tree.childCount(node.item) == static_cast<int>(node.children.size()));
    for (std::size_t i = 0; i < node.children.size(); ++i) {
      FUZZ_CHECK(tree.child(node.item, static_cast<int>(i)) == model.nodes[node.children[i]].item);
      FUZZ_CHECK(tree.row(model.nodes[node.children[i]].item) == static_cast<int>(i));
    }
  }
  for (std::size_t n = 1; n < model.nodes.size(); ++n)
    FUZZ_CHECK(tree.contains(model.nodes[n].item) ==
               (std::find(live.begin(), live.end(), static_cast<int>(n)) != live.end()));
  const std::vector<int>& top = model.nodes[0].children;
  FUZZ_CHECK(tree.childCount(Item()) == static_cast<int>(top.size()));
  FUZZ_CHECK(tree.firstTopLevel() == (top.empty() ? Item() : model.nodes[top[0]].item));
}

// Both walks from start: the descendants in depth-first order, with start
// after them (BranchWalk) or around them (getNextBranchItem).
void checkWalks(const ResultsTree& tree, const Model& model, int start) {
  std::vector<int> expected;
  descendants(model, start, expected);
  const Item startItem = model.nodes[start].item;
  BranchWalk walk(tree, startItem);
  for (int n : expected) FUZZ_CHECK(walk.next() == model.nodes[n].item);
  FUZZ_CHECK(walk.next() == startItem);
  FUZZ_CHECK(walk.next().isNull());

  bool done = false;
  Item item = getNextBranchItem(tree, startItem, startItem, done);
  for (int n : expected) {
    FUZZ_CHECK(!done && item == model.nodes[n].item);
    item = getNextBranchItem(tree, item, startItem, done);
  }
  // The climb back meets start before anything above it.
  FUZZ_CHECK(done && item == startItem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  ResultsTree tree;
  Model model;
  const Item root = tree.clearResults();
  model.nodes.push_back({" - ", NodeKind::RootItem, 0, {}, root});
  model.nodes[0].children.push_back(1);

  for (int step = 0; step < 300 && input.remaining_bytes() > 8; ++step) {
    const std::vector<int> live = model.live();
    const int op = input.ConsumeIntegralInRange<int>(0, 9);
    if (op == 0 && !live.empty()) {
      const int n = live[input.ConsumeIntegralInRange<std::size_t>(0, live.size() - 1)];
      tree.remove(model.nodes[n].item);
      auto& siblings = model.nodes[model.nodes[n].parent].children;
      siblings.erase(std::find(siblings.begin(), siblings.end(), n));
      continue;
    }
    // Mostly under recent items, so the trees grow deep as crawls do.
    int parent = 0;
    if (!live.empty() && op != 1) {
      const std::size_t back = input.ConsumeIntegralInRange<std::size_t>(0, std::min<std::size_t>(live.size() - 1, 6));
      parent = live[live.size() - 1 - back];
    }
    Model::Node node;
    node.label = labelFrom(input);
    node.kind = static_cast<NodeKind>(input.ConsumeIntegralInRange<int>(0, kNodeKindCount - 1));
    node.parent = parent;
    node.item = tree.insert(parent > 0 ? model.nodes[parent].item : Item(), node.label, node.kind);
    model.nodes[parent].children.push_back(static_cast<int>(model.nodes.size()));
    model.nodes.push_back(std::move(node));
  }
  checkTree(tree, model);
  const std::vector<int> live = model.live();
  for (std::size_t i = 0; i < live.size() && i < 8; ++i)
    checkWalks(tree, model, live[input.ConsumeIntegralInRange<std::size_t>(0, live.size() - 1)]);

  SaveResultsOptions options;
  options.emails = input.ConsumeBool();
  options.keywords = input.ConsumeBool();
  options.allWebLinks = input.ConsumeBool();
  options.saveAllContent = input.ConsumeBool();
  options.onlyWithExtensions = input.ConsumeBool();
  if (input.ConsumeBool()) options.extensionText = input.ConsumeRandomLengthString(30);
  const std::string startAddress = input.ConsumeBool() ? "http://www.site.com/start.html"
                                                       : input.ConsumeRandomLengthString(40);
  // Any item, a removed one, or none at all may be selected.
  int selected = 0;
  Item selectedItem;
  if (model.nodes.size() > 1 && input.ConsumeBool()) {
    selected = input.ConsumeIntegralInRange<int>(1, static_cast<int>(model.nodes.size()) - 1);
    selectedItem = model.nodes[selected].item;
    if (!tree.contains(selectedItem)) selected = 0;
  }

  const std::filesystem::path results = fuzz::scratchFolder() / "results.txt";
  const std::filesystem::path structure = fuzz::scratchFolder() / "structure.txt";
  std::filesystem::remove(results);
  std::filesystem::remove(structure);

  const ExportResult saved = saveResults(tree, options, selectedItem, startAddress, results);
  if (!options.anySectionChosen()) {
    FUZZ_CHECK(saved.status == ExportStatus::NothingChosen && !std::filesystem::exists(results));
  } else {
    const std::vector<int>& top = model.nodes[0].children;
    const int start = options.saveAllContent ? (top.empty() ? 0 : top[0]) : selected;
    FUZZ_CHECK(saved.status == ExportStatus::Written);
    FUZZ_CHECK(fileText(results) == referenceResults(model, start, options, startAddress));
  }

  const ExportResult written = saveTreeStructure(tree, structure);
  const std::vector<int>& top = model.nodes[0].children;
  if (top.empty() || model.nodes[top[0]].children.empty()) {
    FUZZ_CHECK(written.status == ExportStatus::NothingToSave && !std::filesystem::exists(structure));
  } else {
    StructureModel expected{model, {}};
    for (int page : model.nodes[top[0]].children) {
      expected.line(0, page);
      expected.level(page, 1);
    }
    FUZZ_CHECK(written.status == ExportStatus::Written);
    FUZZ_CHECK(fileText(structure) == expected.out);
  }
  return 0;
}
