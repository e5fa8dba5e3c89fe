#include "tarnwick/exports.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "results/output_file.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

struct TreeFixture {
  ResultsTree tree;
  Item root = tree.clearResults();

  // A link followed from `from`: a "Web links" category under it holding the new link.
  Item follow(Item from, std::string_view address) {
    const Item category = tree.insert(from, "Web links", NodeKind::WebLinksCategory);
    return tree.insert(category, address, NodeKind::WebLinkEntry);
  }
  // One item per line, "<one space per depth><kind digit> <label>"; depth 0
  // hangs under the root. Returns the items in line order.
  std::vector<Item> grow(std::string_view lines) {
    std::vector<Item> path{root}, made;
    while (!lines.empty()) {
      const std::string_view line = lines.substr(0, lines.find('\n'));
      lines.remove_prefix(std::min(lines.size(), line.size() + 1));
      const std::size_t depth = line.find_first_not_of(' ');
      path.resize(depth + 1);
      path.push_back(tree.insert(path.back(), line.substr(depth + 2), NodeKind(line[depth] - '0')));
      made.push_back(path.back());
    }
    return made;
  }
};

// The link of the last item of each grown tree.
TEST(ItemLink, JoinsTheNearestExaminedBase) {
  const struct {
    const char *tree, *expected;
  } rows[] = {
      // The page's directory and name are dropped; a leading "/" is not doubled.
      {"0 http://s.com/dir/p.html\n 1 Web links\n  5 o.html", "http://s.com/o.html"},
      {"0 http://s.com/dir/p.html\n 1 Web links\n  5 /o.html", "http://s.com/o.html"},
      {"0 http://s.com\n 1 Web links\n  5 a/b.html", "http://s.com/a/b.html"},
      {"0 http://a/dir/p.html\n 1 Web links\n  5 q", "http://a/q"},  // "/" at position 8
      // "http://" anywhere is already an address; "https://" is not.
      {"0 http://s.com/x\n 1 Web links\n  5 go to http://b.org/", "go to http://b.org/"},
      {"0 http://s.com/x\n 1 Web links\n  5 https://b.org/p", "http://s.com/https://b.org/p"},
      {"0 http://s.com/\n 1 Web links\n  5 http://b.org/a/\n   1 Web links\n    5 r",
       "http://b.org/r"},
      // Only every second ancestor is examined: the page right above is skipped,
      // and the root or an e-mail entry is of another kind.
      {"0 http://s.com/p\n 5 odd", "odd"},
      {"0 http://s.com/\n 2 E-mails\n  6 w@s.com\n   3 Key words\n    4 (1) 'x' ", "(1) 'x' "},
      {"0 rel.html", ""},  // a child of the top-level item
  };
  for (const auto& row : rows) {
    TreeFixture f;
    EXPECT_EQ(getItemLink(f.tree, f.grow(row.tree).back()), row.expected) << row.tree;
  }
  TreeFixture f;
  EXPECT_EQ(getItemLink(f.tree, f.root), "");
  EXPECT_EQ(getItemLink(f.tree, Item()), "");
  // Relative links are climbed past, up to 100 examined ancestors.
  for (const int levels : {100, 101}) {
    Item item = f.grow("0 http://s.com/start").back();
    for (int i = 0; i < levels; ++i) item = f.follow(item, "rel");
    EXPECT_EQ(getItemLink(f.tree, item), levels == 100 ? "http://s.com/rel" : "rel");
  }
}

TEST(BranchWalk, DescendantsDepthFirstThenTheStartItem) {
  TreeFixture f;
  const auto it = f.grow(
      "0 P\n 1 Web links\n  5 A\n   1 Web links\n    5 A1\n  5 B\n"
      " 2 E-mails\n  6 m@x.com\n0 Q\n 3 Key words\n  4 k");
  const auto walk = [&](Item start) {
    std::string labels;
    walkBranch(f.tree, start, [&](Item item) { labels.append(f.tree.label(item)) += '|'; });
    return labels;
  };
  EXPECT_EQ(walk(f.root), "P|Web links|A|Web links|A1|B|E-mails|m@x.com|Q|Key words|k| - |");
  EXPECT_EQ(walk(it[1]), "A|Web links|A1|B|Web links|");  // not the category's later siblings
  EXPECT_EQ(walk(it[7]), "m@x.com|");
  EXPECT_EQ(walk(Item()), "");
  bool done = false;
  EXPECT_TRUE(getNextBranchItem(f.tree, Item(), Item(), done).isNull());
  EXPECT_TRUE(done);
  // A stop item that is not an ancestor: the walk still ends at the root.
  EXPECT_EQ(getNextBranchItem(f.tree, it.back(), it[7], done), f.root);
  EXPECT_TRUE(done);
}

// The stack-based walk and the step function agree on any shape, from any start.
TEST(BranchWalk, AgreesWithTheStepFunction) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    TreeFixture f;
    std::vector<Item> items{f.root};
    for (int i = 0; i < 300; ++i) {  // biased towards recent items, so some branches run deep
      const std::size_t span = std::min<std::size_t>(items.size(), 1 + random() % 40);
      items.push_back(
          f.tree.insert(items[items.size() - 1 - random() % span], "x", NodeKind::Image));
    }
    for (const Item start : items) {
      std::vector<Item> stepped, walked;
      bool done = false;
      for (Item item = start; !done && (item = getNextBranchItem(f.tree, item, start, done));)
        stepped.push_back(item);
      walkBranch(f.tree, start, [&](Item item) { walked.push_back(item); });
      ASSERT_EQ(walked, stepped) << "round " << round;
    }
  }
}

class Exports : public ::testing::Test {
 protected:
  ExportResult run(const SaveResultsOptions& options, const fs::path& to) {
    return saveResults(f.tree, options, Item(), "", to);
  }
  // The saved file's bytes; the save must succeed.
  std::string save(const SaveResultsOptions& options, std::string_view start = "", Item pick = {}) {
    const ExportResult result = saveResults(f.tree, options, pick, start, path);
    EXPECT_EQ(result.status, ExportStatus::Written) << result.message << result.detail;
    return readFile(path);
  }
  std::string saveStructure() {
    const ExportResult result = saveTreeStructure(f.tree, path);
    EXPECT_EQ(result.status, ExportStatus::Written) << result.detail;
    return readFile(path);
  }

  TreeFixture f;
  TempDir dir;
  const fs::path path = dir.path() / "saved.txt";
};

TEST_F(Exports, ResultsSectionsInTheirOrderAndForms) {
  // A link written before as a page, an e-mail found twice, labels never written as links.
  const auto it = f.grow(
      "0 http://www.shop.com/index.html\n 1 Web links\n  5 http://www.shop.com/a.html\n"
      "   1 Web links\n    5 http://www.shop.com/index.html\n   2 E-mails\n    6 sales@shop.com\n"
      "  5 This link is outside\n 3 Key words\n  4 (1) 'price' \n 2 E-mails\n  6 sales@shop.com\n"
      "0 /home/me/notes.txt\n 1 Web links\n  5 Web links");
  EXPECT_EQ(save({.emails = true, .keywords = true, .allWebLinks = true}, "http://www.shop.com/"),
            "sales@shop.com  http://www.shop.com/a.html\n"  // the walk meets link a first
            "sales@shop.com  http://www.shop.com/index.html\n"
            "http://www.shop.com/index.html\r\nhttp://www.shop.com/a.html\r\n"
            "/home/me/notes.txt\r\n(1) 'price' \n");
  // The selected branch only: a category without itself, one entry, or nothing.
  const SaveResultsOptions branch{.emails = true, .saveAllContent = false, .allWebLinks = true};
  EXPECT_EQ(save(branch, "", it[1]),
            "sales@shop.com  http://www.shop.com/a.html\n"
            "http://www.shop.com/a.html\r\nhttp://www.shop.com/index.html\r\n");
  EXPECT_EQ(save(branch, "", it[11]), "sales@shop.com  http://www.shop.com/index.html\n");
  EXPECT_EQ(save(branch, "", Item()), "");
}

TEST_F(Exports, ResultsPagesWithoutHttpGetTheDomainPrefix) {
  const struct {
    const char *startAddress, *page, *expected;
  } rows[] = {
      {"http://www.shop.com/start", "/home/a.txt", "m@x  http://www.shop.com/home/a.txt\n"},
      {"http://www.shop.com/", "https://b.org/p", "m@x  http://www.shop.comhttps://b.org/p\n"},
      {"http://www.shop.com/", "seen on http://a.org", "m@x  seen on http://a.org\n"},
      {"http://www.shop.com/", "http:x.htm", "m@x  http:x.htm\n"},   // "http:" is enough
      {"http://www.company.org/", "/f", "m@x  http://www.com/f\n"},  // inside a host label
      {"http://host.net/page.html", "/f", "m@x  http://host.net/f\n"},
      {"http://a.net/b.com/c", "/f", "m@x  http://a.net/b.com/f\n"},  // ".com" wherever it is
      {"http://a.net/b.COM/c", "/f", "m@x  http://a.net/f\n"},
      {"http://127.0.0.1:8080/", "/f", "m@x  /f\n"},
  };
  for (const auto& row : rows) {
    f.root = f.tree.clearResults();
    f.grow(std::string("0 ") + row.page + "\n 2 E-mails\n  6 m@x");
    EXPECT_EQ(save({.emails = true}, row.startAddress), row.expected) << row.page;
  }
}

TEST_F(Exports, ResultsExtensionFilterNeedsAMatchAfterPositionZero) {
  EXPECT_EQ(splitExtensions(" ;,html,,; ;.php, \tx;"),
            (std::vector<std::string>{".html", "..php", ".\tx"}));
  f.grow(
      "0 http://x.org/\n 1 Web links\n  5 http://x.org/doc.pdf\n  5 http://x.org/pic.png\n"
      "  5 .html\n  5 http://x.org/img.gif\n  5 http://x.org/a..php\n  5 http://x.org/b.html");
  SaveResultsOptions options{.allWebLinks = true, .onlyWithExtensions = true};
  // The default list holds .p, which catches .pdf and .png.
  EXPECT_EQ(save(options),
            "http://x.org/doc.pdf\r\nhttp://x.org/pic.png\r\n"
            "http://x.org/a..php\r\nhttp://x.org/b.html\r\n");
  options.extensionText = ";.php,";  // a typed dot doubles
  EXPECT_EQ(save(options), "http://x.org/a..php\r\n");
  options.extensionText = " , ";  // no extensions: no test
  const std::string unfiltered = save(options);
  options.onlyWithExtensions = false;
  EXPECT_EQ(unfiltered, save(options));
  options.allWebLinks = false;  // the filter alone is no section
  options.emails = true;
  EXPECT_EQ(save(options), "");
}

// Far more than the output buffer, with repeats spread over many growths of
// the seen-links set. A symbolic link at the name is replaced, never followed;
// a regular file replaced keeps its mode.
TEST_F(Exports, ResultsManyLinksEachOnceThroughALink) {
  const Item links = f.grow("0 P\n 1 Web links").back();
  std::mt19937 random(11);
  std::set<std::string> seen;
  std::string expected = "P\r\n";
  for (int i = 0; i < 50000; ++i) {
    std::string label = "http://host/" + std::to_string(random() % 20000);
    label.resize(24, 'x');  // one length, so sizes and hash tags often meet
    if (seen.insert(label).second) expected += label + "\r\n";
    f.tree.insert(links, label, NodeKind::WebLinkEntry);
  }
  const fs::path real = dir.write("sub/real.txt", "old"), link = dir.path() / "link.txt";
  fs::create_symlink(real, link);
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(real, mode);
  EXPECT_TRUE(run({.allWebLinks = true}, link).ok());
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(readFile(link), expected);
  EXPECT_EQ(readFile(real), "old");
  EXPECT_TRUE(run({.allWebLinks = true}, real).ok());
  EXPECT_EQ(readFile(real), expected);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, mode);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "sub"), {}), 1);
}

TEST_F(Exports, FailuresTouchNoFile) {
  EXPECT_EQ(saveTreeStructure(f.tree, path).status, ExportStatus::NothingToSave);
  f.tree.remove(f.root);  // not even a root
  EXPECT_EQ(saveTreeStructure(f.tree, path).status, ExportStatus::NothingToSave);
  f.root = f.tree.clearResults();
  f.grow("0 http://a.com/\n 2 E-mails\n  6 me@a.com");
  // The dialog's defaults, with the filter alone ticked.
  EXPECT_EQ(run({.onlyWithExtensions = true}, path).message, messages::kChooseSameOption);
  for (const fs::path& bad : {dir.path() / "missing" / "r.txt", dir.path()}) {
    for (const ExportResult& result :
         {run({.emails = true}, bad), saveTreeStructure(f.tree, bad)}) {
      EXPECT_EQ(result.status, ExportStatus::CannotOpen) << bad;
      EXPECT_EQ(result.message, messages::kSavingFileCannotOpen);
      EXPECT_NE(result.detail.find(bad.string()), std::string::npos) << result.detail;
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
  // A device is written in place, and its refusal is a failed write.
  EXPECT_TRUE(run({.emails = true}, "/dev/null").ok());
  EXPECT_EQ(run({.emails = true}, "/dev/full").status, ExportStatus::WriteFailed);
}

// A page with links A and B and an e-mail; A followed, with its own link A1
// and a keyword; A1 leads on, one link per page, four more levels.
TEST_F(Exports, StructureOfTheExampleCrawlLineForLine) {
  const std::string site = "http://www.example.com/";
  const auto it = f.grow("0 " + site + "index.html\n 1 Web links\n  5 " + site + "a.html\n  5 " +
                         site + "b.html\n 2 E-mails\n  6 team@example.com");
  Item next = f.follow(it[2], site + "a1.html");
  f.tree.insert(f.tree.insert(it[2], "Key words", NodeKind::KeywordsCategory), "(2) 'harvest' ",
                NodeKind::KeywordEntry);
  for (const char* name : {"a11.html", "a111.html", "a5.html", "a6.html"})
    next = f.follow(next, site + name);
  EXPECT_EQ(saveStructure(), readFile(fs::path(TARNWICK_SOURCE_DIR) /
                                      "tests/unit/results/expected/structure_example.txt"));
}

TEST_F(Exports, StructureOfPagesOneAfterTheOther) {
  f.grow(
      "0 /home/me/notes.txt\n 3 Key words\n  4 (1) 'a' \n 9 Images links\n  9 pic.gif\n"
      " 2 E-mails\n  6 x@y.org\n   1 Web links\n    5 never listed\n"  // only links are followed
      "0 P\n 1 Web links\n  5 A\n   1 Web links\n    5 A1\n     1 Web links\n      5 A11\n"
      "  5 B\n   8 Page is not opening. Check connection.\n 2 E-mails\n  6 e@x");
  EXPECT_EQ(saveStructure(),
            "/home/me/notes.txt\n  Key words\n  (1) 'a' \n  Images links\n  pic.gif\n"
            "  E-mails\n  x@y.org\n"
            "P\n  Web links\n  A\n  B\n  E-mails\n  e@x\n"
            "    Web links\n    A1\n"       // listing of A
            "      Web links\n      A11\n"  // listing of A1, before B's
            "    Page is not opening. Check connection.\n");
}

TEST_F(Exports, StructureLeavesOutThisLinkLinesAboveLevelFiveButFollowsThem) {
  f.grow(
      "0 P\n 1 Web links\n  5 This link leads away\n   1 Web links\n    5 B\n     1 Web links\n"
      "      5 C\n       1 Web links\n        5 D\n         1 Web links\n"
      "          5 This link stays\n    5 see This link");  // the flat dump has no filter
  const std::string flat(20, ' ');
  EXPECT_EQ(saveStructure(),
            "P\n  Web links\n    Web links\n    B\n      Web links\n      C\n"
            "        Web links\n        D\n" +
                flat + "D\n" + flat + "Web links\n" + flat + "This link stays\n");
}

// A label that holds a line end must not add a line of its own (a forged
// address that a list download of the file would fetch).
TEST_F(Exports, LineEndsInsideLabelsAreWrittenAsBlanks) {
  const Item page = f.tree.insert(f.root, "http://a.com/\r\nhttp://evil.example/p", NodeKind::Page);
  const Item links = f.tree.insert(page, "Web links", NodeKind::WebLinksCategory);
  f.tree.insert(links, "http://a.com/x\nhttp://evil.example/", NodeKind::WebLinkEntry);
  const Item mails = f.tree.insert(page, "E-mails", NodeKind::EmailsCategory);
  f.tree.insert(mails, "me@a.com\r", NodeKind::EmailEntry);
  const Item words = f.tree.insert(page, "Key words", NodeKind::KeywordsCategory);
  f.tree.insert(words, "(3) 'a\r\nb' ", NodeKind::KeywordEntry);
  EXPECT_EQ(save({.emails = true, .keywords = true, .allWebLinks = true}),
            "me@a.com   http://a.com/  http://evil.example/p\n"
            "http://a.com/  http://evil.example/p\r\nhttp://a.com/x http://evil.example/\r\n"
            "(3) 'a  b' \n");
  EXPECT_EQ(saveStructure(),
            "http://a.com/  http://evil.example/p\n  Web links\n  http://a.com/x http://evil.example/\n"
            "  E-mails\n  me@a.com \n  Key words\n  (3) 'a  b' \n");
  // The tree keeps the labels as found.
  EXPECT_EQ(f.tree.label(page), "http://a.com/\r\nhttp://evil.example/p");
}

// Writes fail with ENOSPC after this many bytes, as on a full disk.
std::size_t room = 0;
ssize_t fullDisk(int fd, const void* data, std::size_t size) {
  if (size > room) {
    errno = ENOSPC;
    return -1;
  }
  room -= size;
  return ::write(fd, data, size);
}

// The tree file, like the exports, appears whole or keeps its old content.
TEST_F(Exports, TreeDumpFileIsReplacedWholeOrLeftAsItWas) {
  for (int i = 0; i < 20000; ++i) f.tree.insert(f.root, "http://a.com/" + std::to_string(i), NodeKind::Page);
  const fs::path file = dir.write("tree.txt", "old tree\n");
  room = 100000;
  OutputFile::setWriteCallForTesting(&fullDisk);
  const ExportResult failed = saveTreeDump(f.tree, file);
  OutputFile::setWriteCallForTesting(nullptr);
  EXPECT_EQ(failed.status, ExportStatus::WriteFailed);
  EXPECT_EQ(failed.message, messages::kSavingFileWriteFailed);
  EXPECT_NE(failed.detail.find("No space left on device"), std::string::npos) << failed.detail;
  EXPECT_EQ(readFile(file), "old tree\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
  EXPECT_TRUE(saveTreeDump(f.tree, file).ok());
  EXPECT_EQ(readFile(file), dumpTree(f.tree));
  EXPECT_EQ(saveTreeDump(f.tree, dir.path() / "no" / "t.txt").status, ExportStatus::CannotOpen);
}

}  // namespace
}  // namespace tarnwick::test
