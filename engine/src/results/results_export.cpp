#include <optional>

#include "results/label_set.h"
#include "results/output_file.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"

namespace tarnwick {

namespace {

// Writes the sections of one save; each walks the whole branch again.
class ResultsWriter {
 public:
  ResultsWriter(const ResultsTree& tree, Item start, OutputFile& out)
      : tree_(tree), start_(start), out_(out) {}

  // Each e-mail entry with the page it was found on: the label of the entry's
  // grandparent, behind the domain prefix unless it holds "http:".
  void writeEmails(std::string_view prefix) {
    walkBranch(tree_, start_, [&](Item item) {
      if (tree_.kind(item) != NodeKind::EmailEntry) return;
      out_.writeInLine(tree_.label(item));
      out_.write("  ");
      const std::string_view page = pageLabelOf(item);
      if (page.find("http:") == std::string_view::npos) out_.writeInLine(prefix);
      out_.writeInLine(page);
      out_.put('\n');
    });
  }

  // Every distinct link, page and link-category label that passes the filters.
  void writeWebLinks(const std::vector<std::string>& extensions) {
    // Views into the tree's labels, which stay put while the save runs.
    LabelSet written;
    walkBranch(tree_, start_, [&](Item item) {
      const NodeKind kind = tree_.kind(item);
      if (kind != NodeKind::WebLinkEntry && kind != NodeKind::WebLinksCategory &&
          kind != NodeKind::Page)
        return;
      const std::string_view label = tree_.label(item);
      if (label == messages::kWebLinksCategory || label.starts_with("This link")) return;
      if (!extensions.empty() && !hasListedExtension(label, extensions)) return;
      if (!written.insert(label)) return;
      out_.writeInLine(label);
      out_.write("\r\n");
    });
  }

  void writeKeywords() {
    walkBranch(tree_, start_, [&](Item item) {
      if (tree_.kind(item) != NodeKind::KeywordEntry) return;
      out_.writeInLine(tree_.label(item));
      out_.put('\n');
    });
  }

 private:
  std::string_view pageLabelOf(Item entry) const {
    const Item category = tree_.parent(entry);
    if (category.isNull()) return {};
    const Item page = tree_.parent(category);
    return page.isNull() ? std::string_view() : tree_.label(page);
  }

  // Only the first occurrence of each extension counts, and not at position 0.
  static bool hasListedExtension(std::string_view label, const std::vector<std::string>& list) {
    for (const std::string& extension : list) {
      const std::size_t at = label.find(extension);
      if (at != std::string_view::npos && at > 0) return true;
    }
    return false;
  }

  const ResultsTree& tree_;
  Item start_;
  OutputFile& out_;
};

ExportResult failure(ExportStatus status, const char* message, const FileError& error) {
  return ExportResult{status, message, error.what()};
}

ExportResult writeFailure(const OutputFile& out, const FileError& error) {
  return failure(ExportStatus::WriteFailed,
                 out.inPlace() ? messages::kSavingFileCutShort : messages::kSavingFileWriteFailed,
                 error);
}

}  // namespace

std::vector<std::string> splitExtensions(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of(" ,;");
    const std::string_view piece = text.substr(0, end);
    if (!piece.empty()) {
      std::string& extension = pieces.emplace_back(1, '.');
      extension += piece;
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return pieces;
}

std::string domainPrefix(std::string_view startAddress) {
  for (std::string_view ending : {".com", ".net"}) {
    const std::size_t at = startAddress.find(ending);
    if (at != std::string_view::npos) return std::string(startAddress.substr(0, at + ending.size()));
  }
  return {};
}

ExportResult saveResults(const ResultsTree& tree, const SaveResultsOptions& options,
                         Item selectedItem, std::string_view startAddress,
                         const std::filesystem::path& path) {
  if (!options.anySectionChosen())
    return ExportResult{ExportStatus::NothingChosen, messages::kChooseSameOption, {}};
  Item start = options.saveAllContent ? tree.firstTopLevel() : selectedItem;
  if (!tree.contains(start)) start = Item();  // nothing selected: an empty file

  std::optional<OutputFile> out;
  try {
    out.emplace(path);
  } catch (const FileError& e) {
    return failure(ExportStatus::CannotOpen, messages::kSavingFileCannotOpen, e);
  }
  try {
    ResultsWriter writer(tree, start, *out);
    if (options.emails) writer.writeEmails(domainPrefix(startAddress));
    if (options.allWebLinks)
      writer.writeWebLinks(options.onlyWithExtensions ? splitExtensions(options.extensionText)
                                                      : std::vector<std::string>{});
    if (options.keywords) writer.writeKeywords();
    out->commit();
  } catch (const FileError& e) {
    return writeFailure(*out, e);
  }
  return {};
}

}  // namespace tarnwick
