#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

using test::runCli;
using test::TempDir;

TEST(LocalCli, FolderTreeDumpIsExact) {
  TempDir dir;
  dir.write("page.htm",
            "<html>\r\n<a href=\"next.htm\">Next</a> <A HREF='Other.HTM'>o</A>\r\n"
            "<img src=\"pic.gif\"> <a href=\"mailto:Ann@Example.org\">Ann</a>\r\n"
            "Caf\xc3\xa9 Cat\tcat\r\n</html>\r\n");
  dir.write("binary.bin", std::string("\x00\x01 cat \x7f\x00", 10));
  dir.write("empty.txt", "");
  const auto r = runCli({"local", dir.path().string(), "--find", "links,images,emails,keywords",
                         "--keywords", "cat", "--ignore-case", "--tree", "-"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string d = dir.path().string();
  const std::string want =
      "7  - \n"
      "  0 " + d + "/binary.bin\n"
      "    3 Key words\n"
      "      4 (3) ' \\x01 cat \\x7f  ' \n"  // NUL bytes read as spaces
      "  0 " + d + "/empty.txt\n"
      "  0 " + d + "/page.htm\n"
      "    3 Key words\n"
      "      4 (131) '> <a href=\"mailto:Ann@Example.org\">Ann</a>"
      "\\r\\nCaf\xc3\xa9 Cat\\tcat\\r\\n</html>\\r\\n' \n"
      "      4 (135) ' href=\"mailto:Ann@Example.org\">Ann</a>\\r\\n"
      "Caf\xc3\xa9 Cat\\tcat\\r\\n</html>\\r\\n' \n"
      "    1 Web links\n"
      "      5 next.htm\n"
      "      5 Other.HTM\n"
      "    9 Images links\n"
      "      9 /pic.gif\n"
      "    2 E-mails\n"
      "      6 Ann@Example.org\n";
  EXPECT_EQ(r.out, want);
  EXPECT_EQ(r.err, "2 links, 1 e-mails, 3 key words are found in 3 files\n");
}

TEST(LocalCli, SummaryGoesToStandardOutputWithoutATreeDump) {
  TempDir dir;
  const auto file = dir.write("a.txt", "key key");
  const auto r = runCli({"local", file.string(), "--keywords", "key"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "0 links, 0 e-mails, 2 key words are found in 1 files\n");
}

TEST(LocalCli, EmptyFolderIsASearchOfNoFiles) {
  TempDir dir;
  const auto r = runCli({"local", dir.path().string(), "--tree", "-"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "7  - \n");
  EXPECT_EQ(r.err, "0 links, 0 e-mails, 0 key words are found in 0 files\n");
}

TEST(LocalCli, UsageErrorsExitWithTwoAndWriteNothing) {
  TempDir dir;
  const std::string out = (dir.path() / "tree.txt").string();
  struct Row {
    std::vector<std::string> args;
  };
  const std::vector<Row> rows{
      {{"local", (dir.path() / "missing").string(), "--tree", out}},
      {{"local", dir.path().string(), "--find", "links,colours", "--tree", out}},
      {{"local", dir.path().string(), "--match-case", "--ignore-case", "--tree", out}},
      {{"local"}},
      {{}},
  };
  for (const Row& row : rows) {
    const auto r = runCli(row.args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST(LocalCli, UnwritableTreeFileFails) {
  TempDir dir;
  const auto file = dir.write("a.txt", "x");
  const auto r = runCli({"local", file.string(), "--tree", (dir.path() / "no/such/dir/t").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot write the tree"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

// A sparse file past 2 GiB: positions beyond 32 bits stay right and memory
// stays bounded by one window plus the tree.
TEST(LocalCli, FileLargerThanTwoGigabytesKeepsPositionsAndMemoryFlat) {
  TempDir dir;
  const auto file = dir.path() / "big.bin";
  const std::int64_t at = (std::int64_t{1} << 31) + 100;
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fseeko(f, at, SEEK_SET), 0);
    std::fputs("needle", f);
    ASSERT_EQ(fseeko(f, at + 4096, SEEK_SET), 0);
    std::fputc('x', f);
    std::fclose(f);
  }
  const auto r = runCli({"local", file.string(), "--keywords", "needle", "--tree", "-"},
                        std::chrono::seconds(600));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("4 (" + std::to_string(at) + ") '"), std::string::npos) << r.out;
  EXPECT_LT(r.maxRssKb, 64 * 1024);
}

}  // namespace
}  // namespace tarnwick
