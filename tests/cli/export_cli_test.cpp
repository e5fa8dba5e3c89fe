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
    const std::string link = "<a href=\"http://www.shop.com/a.html\">a</a> ",
                      mail = "<a href=\"mailto:ann@shop.com\">x</a> price";
    page = dir.write("in/page.htm", link + "<a href=\"b.php\">b</a> " + mail);
    second = dir.write("in/second.txt", link + mail);
  }
  ProcessResult search(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"local", file("in"), "--find", "links,emails,keywords", "--keywords", "price"});
    return runCli(args);
  }
  std::string file(const char* name) const { return (dir.path() / name).string(); }

  TempDir dir;
  std::string page, second;
};

TEST_F(ExportCli, BothFilesAreExact) {
  const auto r = search({"--export", file("results.txt"), "--sections", "keywords,links,emails",
                         "--start-address", "http://www.shop.com/start", "--structure",
                         file("structure.txt"), "--tree", file("tree.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> words;  // the keyword entries' labels, from the tree dump
  std::istringstream dump(readFile(file("tree.txt")));
  for (std::string line; std::getline(dump, line);)
    if (line.starts_with("      4 ")) words.push_back(line.substr(8));
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(readFile(file("results.txt")),
            "ann@shop.com  http://www.shop.com" + page + "\nann@shop.com  http://www.shop.com" +
                second + "\n" + page + "\r\nhttp://www.shop.com/a.html\r\nb.php\r\n" + second +
                "\r\n" + words[0] + "\n" + words[1] + "\n");
  EXPECT_EQ(
      readFile(file("structure.txt")),
      page + "\n  Key words\n  " + words[0] +
          "\n  Web links\n  http://www.shop.com/a.html\n  b.php\n  E-mails\n  ann@shop.com\n" +
          second + "\n  Key words\n  " + words[1] +
          "\n  Web links\n  http://www.shop.com/a.html\n  E-mails\n  ann@shop.com\n");
  // ".htm" matches the page's own path and the shop's ".html", ".php" the relative link; no
  // --start-address: no domain prefix.
  const auto links =
      search({"--export", file("r.txt"), "--sections", "links,emails", "--extensions", "php;htm"});
  ASSERT_EQ(links.exitCode, 0) << links.err;
  EXPECT_EQ(readFile(file("r.txt")), "ann@shop.com  " + page + "\nann@shop.com  " + second + "\n" +
                                         page + "\r\nhttp://www.shop.com/a.html\r\nb.php\r\n");
}

TEST_F(ExportCli, FailuresExitWithTwoForUsageOneForFiles) {
  const std::vector<std::vector<std::string>> usage{
      {"--export", file("r.txt"), "--sections", "links,phones"},
      {"--export", file("r.txt"), "--sections", ","},
      {"--export", file("r.txt")},
      {"--sections", "links"},
      {"--extensions", "php", "--structure", file("s.txt")},
      {"--export", "", "--sections", "links"},
  };
  for (const auto& row : usage) {
    const auto r = search(row);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(fs::exists(file("r.txt")) || fs::exists(file("s.txt")));
  const auto r =
      search({"--export", file("no/r.txt"), "--sections", "emails", "--structure", file("s.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Saving file can not be open."), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(file("s.txt")));  // the other file is still written
  // An empty tree: no structure file, and a save that finds nothing.
  fs::create_directory(file("empty"));
  const auto empty = runCli({"local", file("empty"), "--structure", file("s2.txt"), "--export",
                             file("r.txt"), "--sections", "links"});
  EXPECT_EQ(empty.exitCode, 0) << empty.err;
  EXPECT_FALSE(fs::exists(file("s2.txt")));
  EXPECT_EQ(readFile(file("r.txt")), "");
}

}  // namespace
}  // namespace tarnwick::test
