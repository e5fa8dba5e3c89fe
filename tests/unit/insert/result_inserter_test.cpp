#include "scan/result_inserter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

struct RecordingSink : LinkSink {
  std::vector<std::string> labels;
  const ResultsTree* tree = nullptr;
  void linkInserted(Item entry) override { labels.emplace_back(tree->label(entry)); }
};

class Insertion : public ::testing::Test {
 protected:
  ResultsTree tree;
  ResultInserter inserter{tree};
  Item source;

  void SetUp() override {
    const Item root = tree.clearResults();
    source = tree.insert(root, "/data/a.htm", NodeKind::Page);
    inserter.beginSource(source);
  }

  // Feeds text through windows of the given chunk size and overlap.
  void scanLocal(const std::string& text, ScanSelection selection, std::size_t chunk = 1024,
                 int overlap = 50) {
    TextWindowReader reader(static_cast<std::size_t>(overlap));
    for (std::size_t at = 0; at < text.size(); at += chunk)
      inserter.scanLocal(reader.next(std::string_view(text).substr(at, chunk)), selection, overlap);
  }

  std::string dump() const { return dumpTree(tree); }
};

constexpr ScanSelection kAll{true, true, true, true};
constexpr ScanSelection kLinks{true, false, false, false};
constexpr ScanSelection kKeywords{false, false, false, true};

TEST_F(Insertion, KeywordInTheRepeatedPartIsListedOnceAtItsSourcePosition) {
  inserter.keywords = makeKeywords({"needle"});
  std::string text(2000, '.');
  text.replace(1000, 6, "needle");  // inside the last 50 bytes of the first window
  scanLocal(text, kKeywords);
  // The snippet is the first window's: it ends where that window ends.
  EXPECT_EQ(dump(), "7  - \n  0 /data/a.htm\n    3 Key words\n      4 (1000) '" +
                        std::string(50, '.') + "needle" + std::string(18, '.') + "' \n");
  EXPECT_EQ(inserter.found.keywords, 1);
}

TEST_F(Insertion, APositionListedForOneKeywordIsNotListedForTheNext) {
  inserter.keywords = makeKeywords({"cat", "catalog", "log"});
  scanLocal("a catalog", kKeywords, 1024, 1);
  EXPECT_EQ(dump(), "7  - \n  0 /data/a.htm\n    3 Key words\n      4 (2) ' cata' \n"
                    "      4 (6) 'alog' \n");
}

TEST_F(Insertion, KeywordCallsPerWindowAreCapped) {
  inserter.keywords = makeKeywords({"a"});
  scanLocal(std::string(1100, 'a'), kKeywords, 1100, 1);
  EXPECT_EQ(inserter.found.keywords, 1000);
}

TEST_F(Insertion, LinkScanRulesInOneWindow) {
  struct Row {
    const char* name;
    std::string html;
    std::string expected;  // the labels under "Web links", one per line
  };
  const std::vector<Row> rows{
      {"duplicates are listed once",
       R"(<a href="x.htm">1</a><a href="x.htm">2</a><a href="y.htm">3</a>)", "x.htm\ny.htm\n"},
      {"a fragment ends the scan", R"(<a href="x.htm"></a><a href="#top"></a><a href="y.htm"></a>)",
       "x.htm\n"},
      {"a two-character value ends the scan", R"(<a href="ab"></a><a href="y.htm"></a>)", ""},
      {"a rejected anchor ends the scan", R"(<a href="bad value"></a><a href="y.htm"></a>)", ""},
      {"a semicolon drops only that link",
       R"(<a href="x;y.htm"></a><a href="y.htm"></a>)", "y.htm\n"},
      {"links keep their form in a local search",
       R"(<a href="../up/x.htm"></a><a href="HTTP://Host/A"></a>)", "../up/x.htm\nHTTP://Host/A\n"},
  };
  for (const Row& row : rows) {
    ResultsTree t;
    ResultInserter ins(t);
    const Item page = t.insert(t.clearResults(), "p", NodeKind::Page);
    ins.beginSource(page);
    TextWindowReader reader(50);
    ins.scanLocal(reader.next(row.html), kLinks, 50);
    std::string got;
    if (t.hasChildren(page))
      for (Item e = t.firstChild(t.firstChild(page)); e; e = t.nextSibling(e))
        got += std::string(t.label(e)) + "\n";
    EXPECT_EQ(got, row.expected) << row.name;
  }
}

TEST_F(Insertion, CategoriesAppearInTheOrderOfTheirFirstEntries) {
  inserter.keywords = makeKeywords({"needle"});
  std::string text = R"(<a href="first.htm">x</a>)";
  text += std::string(2000, ' ') + "needle <img src=\"pic.gif\"> <a href=\"mailto:Me@Host.org\">m</a>";
  scanLocal(text, kAll);
  const std::string dumped = dump();
  EXPECT_LT(dumped.find("1 Web links"), dumped.find("3 Key words"));
  EXPECT_LT(dumped.find("3 Key words"), dumped.find("9 Images links"));
  EXPECT_LT(dumped.find("9 Images links"), dumped.find("2 E-mails"));
  EXPECT_NE(dumped.find("6 Me@Host.org"), std::string::npos);
}

TEST_F(Insertion, LocalImagesAreCompletedAgainstEmptyParts) {
  scanLocal(R"(<img src="pic.gif"><img src="/abs.png"><a href="rel.htm">r</a>)",
            {true, true, false, false});
  EXPECT_EQ(dump(), "7  - \n  0 /data/a.htm\n    1 Web links\n      5 rel.htm\n"
                    "    9 Images links\n      9 /pic.gif\n      9 /abs.png\n");
}

TEST_F(Insertion, AFilteredFirstLinkCreatesNoCategory) {
  splitAddress("http://site.example/dir/page.htm", inserter.parts);
  inserter.onlyRootDomain = true;
  scanLocal(R"(<a href="http://other.example/x"></a>)", kLinks);
  EXPECT_FALSE(tree.hasChildren(source));
  scanLocal(R"(<a href="http://site.example/y"></a>)", kLinks);
  EXPECT_EQ(dump(), "7  - \n  0 /data/a.htm\n    1 Web links\n      5 http://site.example/y\n");
}

TEST_F(Insertion, CrawlVariantCompletesLinksAndOffersEveryNewEntry) {
  RecordingSink sink;
  sink.tree = &tree;
  TextWindowReader reader(100);
  inserter.scanCrawl(reader.next(R"(<a href="/a.htm"></a><a href="b.htm"></a><a href="../c.htm"></a>)"
                                 R"(<a href="/a.htm"></a><img src="i.png">)"),
                     {true, true, false, false}, 100, "http://h.example/d/e/", sink);
  const std::vector<std::string> want{"http://h.example/a.htm", "http://h.example/d/e/b.htm",
                                      "http://h.example/d/c.htm"};
  EXPECT_EQ(sink.labels, want);
  EXPECT_NE(dump().find("9 http://h.example/d/e/i.png"), std::string::npos);
}

TEST_F(Insertion, SameLinkInTwoSourcesIsListedUnderEach) {
  const std::string html = R"(<a href="x.htm"></a>)";
  scanLocal(html, kLinks);
  const Item second = tree.insert(tree.rootItem(), "/data/b.htm", NodeKind::Page);
  inserter.beginSource(second);
  scanLocal(html, kLinks);
  EXPECT_EQ(inserter.found.webLinks, 2);
}

TEST_F(Insertion, DeletedItemsDuringASearchAreNeverUsed) {
  scanLocal(R"(<a href="x.htm"></a>)", kLinks);
  tree.remove(tree.firstChild(source));  // the user deletes "Web links"
  scanLocal(R"(<a href="y.htm"></a>)", kLinks);
  EXPECT_EQ(dump(), "7  - \n  0 /data/a.htm\n    1 Web links\n      5 y.htm\n");
  tree.remove(source);  // and then the file item itself
  EXPECT_NO_THROW(scanLocal(R"(<a href="z.htm"></a>)", kLinks));
  EXPECT_EQ(dump(), "7  - \n");
}

}  // namespace
}  // namespace tarnwick
