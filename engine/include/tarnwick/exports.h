#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/results_tree.h"

namespace tarnwick {

// One step of the depth-first walk over the branch that began at `stopItem`.
// Returns the next item after `walkItem`: its first child, else its next
// sibling, else the next sibling of the nearest ancestor that has one. The
// walk never climbs past `stopItem` or the tree's first top-level item; it
// hands back that item with `done` set. Null (with `done` set) when the walk
// fell off the top of the tree. Callers begin with the start item and stop
// after an item flagged done, which they still process.
Item getNextBranchItem(const ResultsTree& tree, Item walkItem, Item stopItem, bool& done);

// The same walk as repeated getNextBranchItem steps from start, each step in
// constant time: every descendant of start in depth-first order (an item
// before its children, siblings in tree order), then start itself, then null.
// Nothing for a null start. The tree must not change during the walk.
class BranchWalk {
 public:
  BranchWalk(const ResultsTree& tree, Item start);
  Item next();

 private:
  struct Level {
    Item parent;
    int row;
  };
  const ResultsTree& tree_;
  Item start_;
  std::vector<Level> path_;
};

template <class Visit>
void walkBranch(const ResultsTree& tree, Item start, Visit&& visit) {
  BranchWalk walk(tree, start);
  while (Item item = walk.next()) visit(item);
}

// The web address a tree item stands for: its label when the label contains
// "http://"; otherwise the label joined to the scheme and host of the nearest
// examined ancestor (every second one, at most 100) whose label contains
// "http://". Empty for a top-level item or a child of one; the label itself
// when an examined ancestor is not a page, a "Web links" category or a link.
std::string getItemLink(const ResultsTree& tree, Item item);

// The choices of the "Save results" dialog. They outlive the dialog.
struct SaveResultsOptions {
  bool emails = false;
  bool saveAllContent = true;  // false: the selected branch only
  bool keywords = false;
  bool allWebLinks = false;
  bool onlyWithExtensions = false;
  std::string extensionText = "html, hml, php, p";

  bool anySectionChosen() const { return emails || allWebLinks || keywords; }
};

// The extension text cut at every space, comma and semicolon, empty pieces
// dropped, each piece with a "." put in front (even when it has one).
std::vector<std::string> splitExtensions(std::string_view text);

// startAddress up to and including its first ".com", else its first ".net",
// else empty.
std::string domainPrefix(std::string_view startAddress);

enum class ExportStatus {
  Written,        // the file holds the export
  NothingChosen,  // no category ticked: no file touched
  NothingToSave,  // the tree holds nothing under its root: no file touched
  CannotOpen,     // the file could not be created: nothing written
  WriteFailed,    // writing broke off: the file is left as it was before
};

// What a front end shows: `message` is the fixed text for the status (empty
// when nothing is to be shown); `detail` the system's reason, when there is one.
struct ExportResult {
  ExportStatus status = ExportStatus::Written;
  std::string message;
  std::string detail;
  bool ok() const { return status == ExportStatus::Written || status == ExportStatus::NothingToSave; }
};

// Writes the chosen sections of the whole tree (saveAllContent) or of the
// branch of selectedItem to `path`: e-mails with the page they were found on,
// each distinct web link once (filtered by the extension list when asked),
// keyword entries. startAddress gives the domain prefix put before page
// labels without "http:". Lines end with LF; web-link lines carry a CR before
// it. The file appears whole or not at all.
ExportResult saveResults(const ResultsTree& tree, const SaveResultsOptions& options,
                         Item selectedItem, std::string_view startAddress,
                         const std::filesystem::path& path);

// Writes every item under the root with the structure of the crawl: each page
// with its categories and entries at two spaces, the listing of each followed
// link two spaces deeper down to four link levels, and everything below a
// fourth-level link flat at twenty spaces. No file is made when the root has
// no children (status NothingToSave).
ExportResult saveTreeStructure(const ResultsTree& tree, const std::filesystem::path& path);

// Writes the tree dump (see dumpTree) of the whole tree to path, whole or not
// at all: on failure the file keeps what it held before.
ExportResult saveTreeDump(const ResultsTree& tree, const std::filesystem::path& path);

}  // namespace tarnwick
