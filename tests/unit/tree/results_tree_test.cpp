#include "tarnwick/results_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

TEST(ResultsTree, ClearResultsLeavesOneRootItem) {
  ResultsTree tree;
  EXPECT_TRUE(tree.firstTopLevel().isNull());
  const Item first = tree.clearResults();
  tree.insert(first, "http://a.example/", NodeKind::Page);
  const Item second = tree.clearResults();
  EXPECT_EQ(dumpTree(tree), "7  - \n");
  EXPECT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree.firstTopLevel(), second);
  EXPECT_EQ(tree.rootItem(), second);
  EXPECT_FALSE(tree.hasChildren(second));
  EXPECT_FALSE(tree.contains(first)) << "a handle from before the clear must read as removed";
}

TEST(ResultsTree, InsertAppendsAfterAllChildrenAlsoAfterARemoval) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  const Item page = tree.insert(root, "p", NodeKind::Page);
  const Item a = tree.insert(page, "a", NodeKind::WebLinksCategory);
  const Item b = tree.insert(page, "b", NodeKind::EmailsCategory);
  tree.insert(a, "x", NodeKind::WebLinkEntry);
  tree.remove(a);
  const Item c = tree.insert(page, "c", NodeKind::KeywordsCategory);
  EXPECT_EQ(tree.firstChild(page), b);
  EXPECT_EQ(tree.nextSibling(b), c);
  EXPECT_TRUE(tree.nextSibling(c).isNull());
  EXPECT_EQ(tree.parent(c), page);
  EXPECT_EQ(tree.row(c), 1);
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 p\n    2 b\n    3 c\n");
}

TEST(ResultsTree, HandleOfGivesBackLiveItemsOnly) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  const Item page = tree.insert(root, "p", NodeKind::Page);
  const Item link = tree.insert(page, "l", NodeKind::WebLinkEntry);
  EXPECT_EQ(tree.handleOf(page.index()), page);
  EXPECT_EQ(tree.handleOf(link.index()), link);
  EXPECT_TRUE(tree.handleOf(link.index() + 1).isNull()) << "beyond the last item";
  tree.remove(page);
  EXPECT_TRUE(tree.handleOf(link.index()).isNull()) << "removed with its branch";
  EXPECT_EQ(tree.handleOf(root.index()), root);
}

TEST(ResultsTree, RemoveTakesTheWholeBranchAndStaleHandlesAreDetected) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  const Item page = tree.insert(root, "p", NodeKind::Page);
  const Item cat = tree.insert(page, "Web links", NodeKind::WebLinksCategory);
  const Item link = tree.insert(cat, "http://x/", NodeKind::WebLinkEntry);
  const Item deep = tree.insert(link, "E-mails", NodeKind::EmailsCategory);
  tree.remove(cat);
  EXPECT_TRUE(tree.contains(page));
  for (Item gone : {cat, link, deep}) EXPECT_FALSE(tree.contains(gone));
  EXPECT_EQ(tree.size(), 2u);
  EXPECT_THROW(tree.insert(link, "late", NodeKind::WebLinkEntry), std::logic_error);
  EXPECT_THROW((void)tree.label(link), std::logic_error);
}

TEST(ResultsTree, KindsAndLabelsRoundTripForEveryKind) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  std::vector<Item> items;
  for (int k = 0; k < kNodeKindCount; ++k)
    items.push_back(tree.insert(root, "label " + std::to_string(k), static_cast<NodeKind>(k)));
  for (int k = 0; k < kNodeKindCount; ++k) {
    EXPECT_EQ(toInt(tree.kind(items[k])), k);
    EXPECT_EQ(tree.label(items[k]), "label " + std::to_string(k));
  }
}

TEST(ResultsTree, LabelsStayValidWhileTheTreeGrows) {
  ResultsTree tree;
  const Item root = tree.clearResults();
  const std::string big(40000, 'q');
  const Item first = tree.insert(root, "first", NodeKind::Page);
  const Item large = tree.insert(root, big, NodeKind::Page);
  const std::string_view firstLabel = tree.label(first);
  for (int i = 0; i < 20000; ++i) tree.insert(root, "some label text", NodeKind::WebLinkEntry);
  EXPECT_EQ(firstLabel, "first");
  EXPECT_EQ(tree.label(large), big);
  EXPECT_EQ(tree.labelBytes(), 3 + 5 + big.size() + 20000 * 15);  // " - " first
}

struct Recorder : TreeListener {
  std::vector<std::string> events;
  void aboutToInsert(Item parent, int row) override {
    events.push_back("+" + std::to_string(parent.isNull() ? -1 : int(parent.index())) + "@" +
                     std::to_string(row));
  }
  void aboutToRemove(Item parent, int row) override {
    events.push_back("-" + std::to_string(parent.index()) + "@" + std::to_string(row));
  }
  void reset() override { events.push_back("reset"); }
};

TEST(ResultsTree, ListenerHearsRowsBeforeChanges) {
  ResultsTree tree;
  Recorder rec;
  tree.setListener(&rec);
  const Item root = tree.clearResults();
  const Item a = tree.insert(root, "a", NodeKind::Page);
  tree.insert(root, "b", NodeKind::Page);
  tree.remove(a);
  const std::vector<std::string> want{"reset", "+-1@0", "+0@0", "+0@1", "-0@0"};
  EXPECT_EQ(rec.events, want);
}

TEST(TreeDump, EscapesControlBytesAndKeepsHighBytes) {
  EXPECT_EQ(escapeLabel("a\\b\nc\rd\te"), "a\\\\b\\nc\\rd\\te");
  EXPECT_EQ(escapeLabel(std::string("\x01\x1f\x7f", 3)), "\\x01\\x1f\\x7f");
  EXPECT_EQ(escapeLabel("caf\xc3\xa9 \x80"), "caf\xc3\xa9 \x80");
  EXPECT_EQ(escapeLabel(std::string("nul\0x", 5)), "nul\\x00x");
}

}  // namespace
}  // namespace tarnwick
