#include "tarnwick/local_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick {
namespace {

using test::FakeHost;
using test::TempDir;

class LocalSearchTest : public ::testing::Test {
 protected:
  TempDir dir;
  ResultsTree tree;
  FakeHost host;
  LocalSearchOptions options;

  void SetUp() override { tree.clearResults(); }

  LocalSearchSummary run(const std::filesystem::path& path, SearchTarget target) {
    options.searchPath = path.string();
    options.searchTarget = static_cast<int>(target);
    LocalSearch search(tree, host);
    return search.run(options);
  }

  // Children of the root item: the file items, by label.
  std::vector<std::string> fileItems() const {
    std::vector<std::string> labels;
    for (Item i = tree.firstChild(tree.rootItem()); i; i = tree.nextSibling(i))
      labels.emplace_back(tree.label(i));
    return labels;
  }
};

TEST_F(LocalSearchTest, FolderFilesInNameOrderSubfoldersSkippedEmptyFilesCounted) {
  dir.write("b.txt", "nothing");
  dir.write("a.txt", "key here");
  dir.write(".hidden", "key");
  dir.write("empty.txt", "");
  dir.write("sub/inner.txt", "key");
  options.keywords = "key";
  const auto summary = run(dir.path(), SearchTarget::Folder);
  const std::string d = dir.path().string();
  const std::vector<std::string> want{d + "/.hidden", d + "/a.txt", d + "/b.txt",
                                      d + "/empty.txt"};
  EXPECT_EQ(fileItems(), want);
  EXPECT_EQ(summary.files, 4);
  EXPECT_EQ(options.reportText, "0 links, 0 e-mails, 2 key words are found in 4 files");
  ASSERT_FALSE(host.reports.empty());
  EXPECT_EQ(host.reports.back(), options.reportText);
  EXPECT_EQ(host.states.back(), SearchState::Idle);
}

TEST_F(LocalSearchTest, ProgressRisesByWholePercentThenReturnsToZero) {
  const auto file = dir.write("f.txt", std::string(2500, 'x'));
  run(file, SearchTarget::File);
  const std::vector<int> want{0, 40, 81, 100, 0};
  EXPECT_EQ(host.progress, want);
  EXPECT_EQ(host.pumps, 3);
}

TEST_F(LocalSearchTest, StopAnsweredYesEndsBeforeTheNextChunkAndTheFolder) {
  for (char c = '1'; c <= '5'; ++c) dir.write(std::string("f") + c, std::string(3000, 'k'));
  options.keywords = "k";
  options.matchCase = true;
  host.stopAtPump = 4;  // first chunk of the second file
  host.answers = {Answer::Yes};
  const auto summary = run(dir.path(), SearchTarget::Folder);
  EXPECT_EQ(host.asked, std::vector<std::string>{messages::kStopQuestion});
  EXPECT_EQ(host.pumps, 4);
  EXPECT_EQ(summary.files, 2);
  EXPECT_EQ(fileItems().size(), 2u);
  EXPECT_EQ(options.reportText.substr(options.reportText.size() - 10), "in 2 files");
}

TEST_F(LocalSearchTest, StopAnsweredNoGoesOnToTheEnd) {
  for (char c = '1'; c <= '3'; ++c) dir.write(std::string("f") + c, std::string(3000, 'k'));
  host.stopAtPump = 2;
  host.answers = {Answer::No};
  const auto summary = run(dir.path(), SearchTarget::Folder);
  EXPECT_EQ(host.pumps, 9);
  EXPECT_EQ(summary.files, 3);
  EXPECT_EQ(std::count(host.states.begin(), host.states.end(), SearchState::Running), 2);
}

TEST_F(LocalSearchTest, AnUnreadableFileGetsAnErrorItemAndTheSearchGoesOn) {
  dir.write("a.txt", "key");
  dir.write("b.txt", "key");
  options.keywords = "key";
  // Reading a folder as a file fails for every user, root included.
  std::filesystem::create_directory(dir.path() / "folder-as-file");
  run(dir.path() / "folder-as-file", SearchTarget::File);
  const auto summary = run(dir.path() / "a.txt", SearchTarget::File);
  const std::string d = dir.path().string();
  EXPECT_EQ(dumpTree(tree), "7  - \n  0 " + d + "/folder-as-file\n    8 Can not open the file.\n"
                            "  0 " + d + "/a.txt\n    3 Key words\n      4 (0) 'key' \n");
  EXPECT_TRUE(summary.unreadable.empty());
}

// Files that shrink after the folder was listed, before or while they are
// read: what is still there is read, with no error and progress within 0-100.
TEST_F(LocalSearchTest, FilesThatShrinkWhileTheSearchRuns) {
  const std::string big = "key" + std::string(600000, '.') + "key";  // past one read block
  const auto first = dir.write("a.txt", big);
  const auto second = dir.write("b.txt", big);
  options.keywords = "key";
  host.onPump = [&](int pump) {
    if (pump != 1) return;
    std::filesystem::resize_file(first, 2000);  // the file being read
    std::filesystem::resize_file(second, 0);    // listed, not yet opened
  };
  const auto summary = run(dir.path(), SearchTarget::Folder);
  EXPECT_TRUE(summary.unreadable.empty());
  EXPECT_EQ(summary.files, 2);
  EXPECT_EQ(summary.keywords, 1);  // the first key of a.txt; the rest went
  const std::string d = dir.path().string();
  EXPECT_EQ(fileItems(), (std::vector<std::string>{d + "/a.txt", d + "/b.txt"}));
  for (const int percent : host.progress) {
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
  }
}

TEST_F(LocalSearchTest, NothingChosenAndEmptyPathMessages) {
  run("", SearchTarget::Nothing);
  EXPECT_EQ(host.asked, std::vector<std::string>{messages::kSearchObjectUndetermined});
  EXPECT_EQ(host.states, std::vector<SearchState>{SearchState::Running})
      << "nothing chosen leaves the dialog running";
  host.asked.clear();
  run("", SearchTarget::File);
  const std::vector<std::string> want{messages::kNoFileChosen, messages::kSearchObjectUndetermined};
  EXPECT_EQ(host.asked, want);
  EXPECT_TRUE(fileItems().empty());
}

TEST_F(LocalSearchTest, SearchingTheSameFileTwiceGivesTwoItemsEachWithItsResults) {
  const auto file = dir.write("f.htm", "<a href=\"page.htm\">p</a>");
  options.findWebLinks = true;
  run(file, SearchTarget::File);
  run(file, SearchTarget::File);
  const std::string item = "  0 " + file.string() + "\n    1 Web links\n      5 page.htm\n";
  EXPECT_EQ(dumpTree(tree), "7  - \n" + item + item);
}

}  // namespace
}  // namespace tarnwick
