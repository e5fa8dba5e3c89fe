#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

// Two local files that share a link and an e-mail address.
class ExportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    page = dir.write("in/page.htm",
                     "<a href=\"http://www.shop.com/a.html\">a</a> <a href=\"b.php\">b</a> "
                     "<a href=\"mailto:ann@shop.com\">x</a> price");
    second = dir.write("in/second.txt",
                       "<a href=\"http://www.shop.com/a.html\">again</a> "
                       "<a href=\"mailto:ann@shop.com\">y</a> price");
  }

  ProcessResult search(std::vector<std::string> extra) {
    std::vector<std::string> args{"local", (dir.path() / "in").string(), "--find",
                                  "links,emails,keywords", "--keywords", "price"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runCli(args);
  }

  // The keyword entries' labels, in tree order, from a tree dump.
  static std::vector<std::string> keywordLabels(const std::string& dump) {
    std::vector<std::string> labels;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) {
      const std::size_t at = line.find_first_not_of(' ');
      if (line.compare(at, 2, "4 ") == 0) labels.push_back(line.substr(at + 2));
    }
    return labels;
  }

  std::string file(const char* name) const { return (dir.path() / name).string(); }

  TempDir dir;
  fs::path page, second;
};

TEST_F(ExportCli, BothFilesAreExact) {
  const auto r = search({"--export", file("results.txt"), "--sections", "keywords,links,emails",
                         "--start-address", "http://www.shop.com/start", "--structure",
                         file("structure.txt"), "--tree", file("tree.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto words = keywordLabels(readFile(file("tree.txt")));
  ASSERT_EQ(words.size(), 2u);
  const std::string p = page.string(), s = second.string();
  EXPECT_EQ(readFile(file("results.txt")),
            "ann@shop.com  http://www.shop.com" + p + "\n"
            "ann@shop.com  http://www.shop.com" + s + "\n" +
            p + "\r\nhttp://www.shop.com/a.html\r\nb.php\r\n" + s + "\r\n" +
            words[0] + "\n" + words[1] + "\n");
  EXPECT_EQ(readFile(file("structure.txt")),
            p + "\n  Key words\n  " + words[0] + "\n  Web links\n  http://www.shop.com/a.html\n"
            "  b.php\n  E-mails\n  ann@shop.com\n" +
            s + "\n  Key words\n  " + words[1] + "\n  Web links\n  http://www.shop.com/a.html\n"
            "  E-mails\n  ann@shop.com\n");
}

TEST_F(ExportCli, ExtensionsFilterAndNoPrefixByDefault) {
  const auto r = search({"--export", file("links.txt"), "--sections", "links", "--extensions",
                         "php;htm"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // ".htm" matches the page's own path and the shop's ".html"; ".php" the relative link.
  EXPECT_EQ(readFile(file("links.txt")),
            page.string() + "\r\nhttp://www.shop.com/a.html\r\nb.php\r\n");
  const auto mails = search({"--export", file("mails.txt"), "--sections", "emails"});
  ASSERT_EQ(mails.exitCode, 0) << mails.err;
  EXPECT_EQ(readFile(file("mails.txt")),
            "ann@shop.com  " + page.string() + "\nann@shop.com  " + second.string() + "\n");
}

TEST_F(ExportCli, UsageErrorsWriteNothing) {
  const std::vector<std::vector<std::string>> rows{
      {"--export", file("r.txt"), "--sections", "links,phones"},
      {"--export", file("r.txt"), "--sections", ","},
      {"--export", file("r.txt")},
      {"--sections", "links"},
      {"--extensions", "php", "--structure", file("s.txt")},
      {"--export", "", "--sections", "links"},
  };
  for (const auto& row : rows) {
    const auto r = search(row);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(fs::exists(file("r.txt")));
  EXPECT_FALSE(fs::exists(file("s.txt")));
}

TEST_F(ExportCli, FileThatCannotBeMadeFailsTheRun) {
  const auto r = search({"--export", file("missing/r.txt"), "--sections", "emails", "--structure",
                         file("s.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Saving file can not be open."), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(file("s.txt")));  // the other file is still written
}

TEST_F(ExportCli, EmptyTreeMakesNoStructureFile) {
  const fs::path empty = dir.path() / "empty";
  fs::create_directory(empty);
  const auto r = runCli({"local", empty.string(), "--structure", file("s.txt"), "--export",
                         file("r.txt"), "--sections", "links"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(fs::exists(file("s.txt")));
  EXPECT_EQ(readFile(file("r.txt")), "");  // the save itself finds nothing and writes nothing
}

}  // namespace
}  // namespace tarnwick::test
