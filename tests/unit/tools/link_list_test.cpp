#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"

namespace tarnwick::test {
namespace {

using Links = std::vector<std::string>;

Links read(const std::string& text) {
  std::istringstream in(text);
  return readLinkList(in);
}

TEST(LinkList, LineEndsOfEitherKindAndNoneAtTheEnd) {
  const Links expected{"http://a.com/", "http://b.com/x"};
  EXPECT_EQ(read("http://a.com/\nhttp://b.com/x\n"), expected);
  EXPECT_EQ(read("http://a.com/\r\nhttp://b.com/x\r\n"), expected);
  EXPECT_EQ(read("http://a.com/\r\nhttp://b.com/x"), expected);
  // Trailing spaces go only where no line end follows them.
  EXPECT_EQ(read("http://a.com/\nhttp://b.com/x   "), expected);
  EXPECT_EQ(read("http://a.com/  \n"), Links{"http://a.com/  "});
}

TEST(LinkList, OnlyLowerCaseHttpAtTheVeryStartCounts) {
  EXPECT_EQ(read(" http://indented.com/\n"
                 "\thttp://tab.com/\n"
                 "HTTP://caps.com/\n"
                 "https://secure.com/\n"
                 "\"http://quoted.com/\"\n"
                 "see http://inside.com/\n"
                 "\n"
                 "http://kept.com/\n"),
            Links{"http://kept.com/"});
}

TEST(LinkList, TrailingQuotesDoubleFirstThenSingle) {
  EXPECT_EQ(read("http://a.com/\"\"\n"), Links{"http://a.com/"});
  EXPECT_EQ(read("http://a.com/'\"\r\n"), Links{"http://a.com/"});
  EXPECT_EQ(read("http://a.com/\"'\n"), Links{"http://a.com/\""});
  // A quote followed by spaces before the line end is not at the end.
  EXPECT_EQ(read("http://a.com/\" \n"), Links{"http://a.com/\" "});
}

TEST(LinkList, LongLinesAreJudgedInPiecesOf499Bytes) {
  std::string first = "http://a.com/";
  first.resize(499, 'x');
  std::string second = "http://b.com/";
  second.resize(101, 'y');
  EXPECT_EQ(read(first + second + "\r\n"), (Links{first, second}));
  // A piece that begins inside an address is dropped.
  std::string line = "http://c.com/";
  line.resize(600, 'z');
  EXPECT_EQ(read(line + "\n"), Links{line.substr(0, 499)});
  // The line end alone in the last piece.
  EXPECT_EQ(read(first + "\r\nhttp://d.com/\n"), (Links{first, "http://d.com/"}));
}

TEST(LinkList, DuplicatesStayInFileOrder) {
  EXPECT_EQ(read("http://b/\nhttp://a/\nhttp://b/\n"), (Links{"http://b/", "http://a/", "http://b/"}));
}

TEST(LinkListFile, NoLinksShowsTheFormatHint) {
  TempDir dir;
  FakeHost host;
  const LinkListFile result = loadLinkList(host, dir.write("list.txt", "HTTPS://a.com/\n x\n"));
  EXPECT_EQ(result.status, LinkListFile::Status::NoLinks);
  EXPECT_EQ(host.asked, std::vector<std::string>{messages::kNoLinksFound});
}

TEST(LinkListFile, UnreadableFileIsNotShown) {
  TempDir dir;
  FakeHost host;
  for (const auto& path : {dir.path() / "missing.txt", dir.path()}) {
    const LinkListFile result = loadLinkList(host, path);
    EXPECT_EQ(result.status, LinkListFile::Status::CannotOpen) << path;
    EXPECT_NE(result.reason.find(path.string()), std::string::npos) << result.reason;
  }
  EXPECT_TRUE(host.asked.empty());
}

TEST(LinkListFile, ReadsTheLinks) {
  TempDir dir;
  FakeHost host;
  const LinkListFile result =
      loadLinkList(host, dir.write("list.txt", "http://a.com/\r\nhttp://b.com/"));
  EXPECT_EQ(result.status, LinkListFile::Status::Read);
  EXPECT_EQ(result.links, (Links{"http://a.com/", "http://b.com/"}));
  EXPECT_TRUE(host.asked.empty());
}

}  // namespace
}  // namespace tarnwick::test
