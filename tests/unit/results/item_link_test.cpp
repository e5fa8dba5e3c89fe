#include <gtest/gtest.h>

#include <string>

#include "tarnwick/exports.h"
#include "tree_fixture.h"

namespace tarnwick::test {
namespace {

struct LinkCase {
  const char* base;   // label of the page the link was found on
  const char* label;  // label of the link entry
  const char* expected;
};

class ItemLinkUnderPage : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ItemLinkUnderPage, JoinsSchemeAndHostOfTheBase) {
  TreeFixture f;
  const LinkCase& c = GetParam();
  const Item entry = f.follow(f.page(c.base), c.label);
  EXPECT_EQ(getItemLink(f.tree, entry), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemLinkUnderPage,
    ::testing::Values(
        // The page's directory and name are dropped; a leading "/" is not doubled.
        LinkCase{"http://www.site.com/dir/page.html", "other.html", "http://www.site.com/other.html"},
        LinkCase{"http://www.site.com/dir/page.html", "/other.html", "http://www.site.com/other.html"},
        // A base without a path is used whole.
        LinkCase{"http://site.com", "a/b.html", "http://site.com/a/b.html"},
        // A label holding "http://" anywhere is already an address.
        LinkCase{"http://site.com/x", "go to http://elsewhere.org/", "go to http://elsewhere.org/"},
        // "https://" does not contain "http://": the label counts as relative.
        LinkCase{"http://site.com/x", "https://secure.org/p", "http://site.com/https://secure.org/p"},
        // A one-letter host: its "/" stands at position 8 and still cuts.
        LinkCase{"http://a/dir/p.html", "q", "http://a/q"}));

TEST(ItemLink, TopLevelItemAndItsChildHaveNoLink) {
  TreeFixture f;
  const Item page = f.page("relative.html");
  EXPECT_EQ(getItemLink(f.tree, f.root), "");
  EXPECT_EQ(getItemLink(f.tree, page), "");
  EXPECT_EQ(getItemLink(f.tree, Item()), "");
}

TEST(ItemLink, LooksOnlyAtEverySecondAncestor) {
  TreeFixture f;
  const Item page = f.page("http://site.com/index.html");
  const Item a = f.follow(page, "http://site.com/a.html");
  // The nearest ancestor with "http://" is the parent of the category (a),
  // so a relative link found on page a is completed against a's host.
  const Item rel = f.follow(a, "rel.html");
  EXPECT_EQ(getItemLink(f.tree, rel), "http://site.com/rel.html");
  // Two relative levels: a's relative child has no "http://", the search
  // goes two more steps up.
  const Item deeper = f.follow(rel, "deeper.html");
  EXPECT_EQ(getItemLink(f.tree, deeper), "http://site.com/deeper.html");
}

TEST(ItemLink, StopsAtAnExaminedAncestorOfAnotherKind) {
  TreeFixture f;
  const Item page = f.page("http://site.com/");
  const Item mails = f.emails(page);
  const Item mail = f.email(mails, "who@site.com");
  // Grandparent of the keyword is an e-mail entry: label unchanged.
  const Item odd = f.add(f.add(mail, "note", NodeKind::KeywordsCategory), "(1) 'x' ",
                         NodeKind::KeywordEntry);
  EXPECT_EQ(getItemLink(f.tree, odd), "(1) 'x' ");
  // Grandparent of an entry under the root's child is the root (kind 7).
  const Item underRoot = f.add(f.add(f.root, "loose", NodeKind::WebLinksCategory), "x.html",
                               NodeKind::WebLinkEntry);
  EXPECT_EQ(getItemLink(f.tree, underRoot), "x.html");
}

TEST(ItemLink, GivesUpAfterOneHundredExaminedAncestors) {
  // 101 pairs of relative link levels below the base: the base is the 101st
  // examined ancestor and is not reached; 100 pairs reach it.
  for (const int pairs : {100, 101}) {
    TreeFixture f;
    Item item = f.page("http://site.com/start");
    for (int i = 0; i < pairs; ++i) item = f.follow(item, "rel");
    const std::string expected = pairs == 100 ? "http://site.com/rel" : "rel";
    EXPECT_EQ(getItemLink(f.tree, item), expected) << pairs;
  }
}

}  // namespace
}  // namespace tarnwick::test
