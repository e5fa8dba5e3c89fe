#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"
#include "tree_fixture.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

class TreeStructure : public ::testing::Test {
 protected:
  std::string save() {
    const fs::path path = dir.path() / "structure.txt";
    const ExportResult result = saveTreeStructure(f.tree, path);
    EXPECT_EQ(result.status, ExportStatus::Written) << result.detail;
    return readFile(path);
  }

  TreeFixture f;
  TempDir dir;
};

// A page with links A and B and an e-mail; A followed, with its own link A1
// and a keyword; A1 leads on, one link per page, five more levels.
TEST_F(TreeStructure, ExampleCrawlComesOutLineForLine) {
  const std::string site = "http://www.example.com/";
  const Item page = f.page(site + "index.html");
  const Item links = f.webLinks(page);
  const Item a = f.link(links, site + "a.html");
  f.link(links, site + "b.html");
  f.email(f.emails(page), "team@example.com");
  Item next = f.follow(a, site + "a1.html");
  f.keyword(f.keywords(a), "(2) 'harvest' ");
  for (const char* name : {"a11.html", "a111.html", "a5.html", "a6.html"})
    next = f.follow(next, site + name);

  EXPECT_EQ(save(), readFile(fs::path(TARNWICK_SOURCE_DIR) /
                             "tests/unit/results/expected/structure_example.txt"));
}

TEST_F(TreeStructure, OnlyTheRootMeansNoFile) {
  const fs::path path = dir.path() / "structure.txt";
  EXPECT_EQ(saveTreeStructure(f.tree, path).status, ExportStatus::NothingToSave);
  EXPECT_FALSE(fs::exists(path));
  f.tree.remove(f.root);  // not even a root
  EXPECT_EQ(saveTreeStructure(f.tree, path).status, ExportStatus::NothingToSave);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(TreeStructure, PageWithoutFollowedLinks) {
  const Item page = f.page("/home/me/notes.txt");
  f.keyword(f.keywords(page), "(1) 'a' ");
  f.email(f.emails(page), "x@y.org");
  f.add(f.add(page, messages::kImagesCategory, NodeKind::Image), "pic.gif", NodeKind::Image);
  EXPECT_EQ(save(), "/home/me/notes.txt\n  Key words\n  (1) 'a' \n  E-mails\n  x@y.org\n"
                    "  Images links\n  pic.gif\n");
}

TEST_F(TreeStructure, ThreeLevelsAndSiblingBlocksComeAfterTheWholeListing) {
  const Item page = f.page("P");
  const Item links = f.webLinks(page);
  const Item a = f.link(links, "A");
  const Item b = f.link(links, "B");
  f.email(f.emails(page), "e@x");
  const Item a1 = f.follow(a, "A1");
  f.follow(a1, "A11");
  f.add(b, messages::kPageNotOpening, NodeKind::ErrorItem);  // error item under a followed link
  EXPECT_EQ(save(),
            "P\n  Web links\n  A\n  B\n  E-mails\n  e@x\n"
            "    Web links\n    A1\n"       // listing of A
            "      Web links\n      A11\n"  // listing of A1, before B's
            "    Page is not opening. Check connection.\n");
}

TEST_F(TreeStructure, ThisLinkLinesAreLeftOutAboveLevelFiveButStillFollowed) {
  const Item page = f.page("P");
  const Item hidden = f.link(f.webLinks(page), "This link leads away");
  Item next = f.follow(hidden, "B");
  f.add(f.tree.parent(next), "see This link", NodeKind::WebLinkEntry);
  for (const char* name : {"C", "D"}) next = f.follow(next, name);
  f.link(f.webLinks(next), "This link stays");  // inside the flat dump
  EXPECT_EQ(save(),
            "P\n  Web links\n"
            "    Web links\n    B\n"
            "      Web links\n      C\n"
            "        Web links\n        D\n"
            "                    D\n                    Web links\n"
            "                    This link stays\n");
}

TEST_F(TreeStructure, EverythingBelowLevelFourIsFlat) {
  Item next = f.page("P");
  for (const char* name : {"L1", "L2", "L3", "L4", "L5", "L6", "L7"}) next = f.follow(next, name);
  f.keyword(f.keywords(next), "(3) 'deep' ");
  const std::string flat(20, ' ');
  EXPECT_EQ(save(), "P\n  Web links\n  L1\n    Web links\n    L2\n      Web links\n      L3\n"
                    "        Web links\n        L4\n" +
                        flat + "L4\n" + flat + "Web links\n" + flat + "L5\n" + flat +
                        "Web links\n" + flat + "L6\n" + flat + "Web links\n" + flat + "L7\n" +
                        flat + "Key words\n" + flat + "(3) 'deep' \n");
}

TEST_F(TreeStructure, SeveralPagesOneAfterTheOther) {
  f.follow(f.page("P1"), "A");
  f.follow(f.follow(f.page("P2"), "B"), "B1");
  EXPECT_EQ(save(), "P1\n  Web links\n  A\nP2\n  Web links\n  B\n    Web links\n    B1\n");
}

TEST_F(TreeStructure, FileThatCannotBeMadeIsReported) {
  f.page("P");
  const ExportResult result = saveTreeStructure(f.tree, dir.path() / "no" / "such" / "s.txt");
  EXPECT_EQ(result.status, ExportStatus::CannotOpen);
  EXPECT_EQ(result.message, messages::kSavingFileCannotOpen);
}

}  // namespace
}  // namespace tarnwick::test
