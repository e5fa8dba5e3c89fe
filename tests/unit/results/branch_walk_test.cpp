#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tarnwick/exports.h"
#include "tree_fixture.h"

namespace tarnwick::test {
namespace {

std::vector<std::string> walkLabels(const ResultsTree& tree, Item start) {
  std::vector<std::string> labels;
  walkBranch(tree, start, [&](Item item) { labels.emplace_back(tree.label(item)); });
  return labels;
}

class BranchWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    page = f.page("P");
    links = f.webLinks(page);
    a = f.link(links, "A");
    f.link(f.webLinks(a), "A1");
    b = f.link(links, "B");
    mails = f.emails(page);
    mail = f.email(mails, "m@x.com");
    second = f.page("Q");
    f.keyword(f.keywords(second), "(1) 'k' ");
  }
  TreeFixture f;
  Item page, links, a, b, mails, mail, second;
};

TEST_F(BranchWalk, WholeTreeIsDepthFirstThenTheStartItem) {
  EXPECT_EQ(walkLabels(f.tree, f.root),
            (std::vector<std::string>{"P", "Web links", "A", "Web links", "A1", "B", "E-mails",
                                      "m@x.com", "Q", "Key words", "(1) 'k' ", " - "}));
}

TEST_F(BranchWalk, FromACategoryStaysInsideItsBranch) {
  // Later siblings of the category and of its page are not visited.
  EXPECT_EQ(walkLabels(f.tree, links),
            (std::vector<std::string>{"A", "Web links", "A1", "B", "Web links"}));
  EXPECT_EQ(walkLabels(f.tree, a), (std::vector<std::string>{"Web links", "A1", "A"}));
}

TEST_F(BranchWalk, FromASingleEntryYieldsOnlyThatEntry) {
  EXPECT_EQ(walkLabels(f.tree, mail), std::vector<std::string>{"m@x.com"});
  EXPECT_EQ(walkLabels(f.tree, b), std::vector<std::string>{"B"});
}

TEST_F(BranchWalk, FromNothingYieldsNothing) {
  EXPECT_TRUE(walkLabels(f.tree, Item()).empty());
  bool done = false;
  EXPECT_TRUE(getNextBranchItem(f.tree, Item(), Item(), done).isNull());
  EXPECT_TRUE(done);
}

TEST_F(BranchWalk, StepFlagsDoneOnlyWithTheStartItem) {
  bool done = true;
  Item item = getNextBranchItem(f.tree, links, links, done);
  EXPECT_EQ(item, a);
  EXPECT_FALSE(done);
  item = getNextBranchItem(f.tree, b, links, done);  // last item of the branch
  EXPECT_EQ(item, links);
  EXPECT_TRUE(done);
}

TEST_F(BranchWalk, NeverClimbsAboveTheFirstTopLevelItem) {
  // A walk that began elsewhere (a stop item that is not an ancestor) still
  // ends at the root rather than running off the top of the tree.
  bool done = false;
  const Item last = f.tree.child(f.tree.child(second, 0), 0);
  EXPECT_EQ(getNextBranchItem(f.tree, last, mail, done), f.root);
  EXPECT_TRUE(done);
  EXPECT_EQ(getNextBranchItem(f.tree, f.root, mail, done), page);  // children first
}

TEST(BranchWalkDeep, ClimbsManyLevelsAtOnce) {
  TreeFixture f;
  Item item = f.page("P");
  const Item top = item;
  for (int i = 0; i < 10000; ++i) item = f.add(item, "x", NodeKind::WebLinkEntry);
  const Item after = f.page("Q");
  bool done = false;
  EXPECT_EQ(getNextBranchItem(f.tree, item, f.root, done), after);
  EXPECT_FALSE(done);
  EXPECT_EQ(getNextBranchItem(f.tree, item, top, done), top);
  EXPECT_TRUE(done);
}

// The constant-time walk and the step function agree on any tree shape, from
// any start item.
TEST(BranchWalkSteps, AgreeWithTheStepFunction) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    TreeFixture f;
    std::vector<Item> items{f.root};
    for (int i = 0; i < 300; ++i) {
      // Bias towards recent items so that some branches run deep.
      const std::size_t span = std::min<std::size_t>(items.size(), 1 + random() % 40);
      const Item parent = items[items.size() - 1 - random() % span];
      items.push_back(f.add(parent, std::to_string(i), NodeKind::WebLinkEntry));
    }
    for (const Item start : items) {
      std::vector<Item> stepped;
      bool done = false;
      for (Item item = start; !done;) {
        item = getNextBranchItem(f.tree, item, start, done);
        if (item.isNull()) break;
        stepped.push_back(item);
      }
      std::vector<Item> walked;
      walkBranch(f.tree, start, [&](Item item) { walked.push_back(item); });
      ASSERT_EQ(walked, stepped) << "round " << round << " from " << f.tree.label(start);
    }
  }
}

}  // namespace
}  // namespace tarnwick::test
