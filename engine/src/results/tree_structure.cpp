#include <array>
#include <optional>
#include <vector>

#include "results/output_file.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

constexpr int kLinkLevels = 4;
constexpr std::size_t kFlatIndent = 20;
constexpr std::string_view kSpaces = "                    ";  // kFlatIndent of them

// Writes the pages under the root with their link levels. Each level keeps
// one list of the links found in its listing, refilled for every link of the
// level above, so the depth is fixed and nothing recurses.
class StructureWriter {
 public:
  StructureWriter(const ResultsTree& tree, OutputFile& out) : tree_(tree), out_(out) {}

  void writePage(Item page) {
    writeLine(0, page);
    writeListing(page, 1);
    for (Item first : links_[0]) {
      writeListing(first, 2);
      for (Item second : links_[1]) {
        writeListing(second, 3);
        for (Item third : links_[2]) {
          writeListing(third, 4);
          for (Item fourth : links_[3]) writeFlat(fourth);
        }
      }
    }
  }

 private:
  // The children of item, each followed by its own children, 2 * level
  // spaces deep; the link entries among the grandchildren make up the link
  // list of the level.
  void writeListing(Item item, int level) {
    std::vector<Item>& links = links_[static_cast<std::size_t>(level - 1)];
    links.clear();
    const std::size_t indent = 2 * static_cast<std::size_t>(level);
    for (int i = 0, n = tree_.childCount(item); i < n; ++i) {
      const Item group = tree_.child(item, i);
      writeListed(indent, group);
      for (int j = 0, m = tree_.childCount(group); j < m; ++j) {
        const Item entry = tree_.child(group, j);
        writeListed(indent, entry);
        if (tree_.kind(entry) == NodeKind::WebLinkEntry) links.push_back(entry);
      }
    }
  }

  // The link itself, then everything below it, all at the same depth.
  void writeFlat(Item link) {
    writeLine(kFlatIndent, link);
    BranchWalk walk(tree_, link);
    for (Item item = walk.next(); item != link; item = walk.next()) writeLine(kFlatIndent, item);
  }

  void writeListed(std::size_t indent, Item item) {
    if (tree_.label(item).find("This link") == std::string_view::npos) writeLine(indent, item);
  }

  void writeLine(std::size_t indent, Item item) {
    out_.write(kSpaces.substr(0, indent));
    out_.writeInLine(tree_.label(item));
    out_.put('\n');
  }

  const ResultsTree& tree_;
  OutputFile& out_;
  std::array<std::vector<Item>, kLinkLevels> links_;
};

}  // namespace

ExportResult saveTreeStructure(const ResultsTree& tree, const std::filesystem::path& path) {
  const Item root = tree.firstTopLevel();
  if (root.isNull() || !tree.hasChildren(root)) return ExportResult{ExportStatus::NothingToSave, {}, {}};

  std::optional<OutputFile> out;
  try {
    out.emplace(path);
  } catch (const FileError& e) {
    return ExportResult{ExportStatus::CannotOpen, messages::kSavingFileCannotOpen, e.what()};
  }
  try {
    StructureWriter writer(tree, *out);
    for (int i = 0, n = tree.childCount(root); i < n; ++i) writer.writePage(tree.child(root, i));
    out->commit();
  } catch (const FileError& e) {
    const char* text = out->inPlace() ? messages::kSavingFileCutShort : messages::kSavingFileWriteFailed;
    return ExportResult{ExportStatus::WriteFailed, text, e.what()};
  }
  return {};
}

}  // namespace tarnwick
