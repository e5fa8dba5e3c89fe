#include "tarnwick/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "settings_test_support.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::WorkingDirectoryGuard;

constexpr const char* kDefaultText =
    "Current directory:\n"
    "Web adress:\n"
    "Search links:1\n"
    "Search images:0\n"
    "Search emails:0\n"
    "Search keywords:0\n"
    "Match case:0\n"
    "Keywords to search:\n"
    "Links level:0\n"
    "Folder to download:\n"
    "Max to download:0.65\n"
    "Only root site:0\n"
    "Only paternt domain:0\n"
    "Search local links:0\n"
    "Search local images:0\n"
    "Search local emails:0\n"
    "Search local keywords:1\n"
    "Match local case:1\n"
    "Keywords local to search:\n"
    "Search local in:\n"
    "Report local in:\n"
    "Find local in file or folder:-1\n";

// Every stored option away from its default.
Settings changedSettings(const std::string& workFolder) {
  Settings s;
  s.workFolder = workFolder;
  s.fetch.startAddress = "http://www.example.com/start.htm?a=1";
  s.fetch.findWebLinks = false;
  s.fetch.findImages = true;
  s.fetch.findEmails = true;
  s.fetch.findKeywords = true;
  s.fetch.matchCase = true;
  s.fetch.keywords = "red green, \"blue sky\"";
  s.fetch.levels = 3;
  s.fetch.downloadFolder = "/srv/down load";
  s.fetch.maxDownloadGB = 1.5e9;
  s.fetch.onlyRootDomain = true;
  s.fetch.onlyParentDomain = true;
  s.local.keywords = "alpha";
  s.local.findKeywords = false;
  s.local.findEmails = true;
  s.local.findWebLinks = true;
  s.local.findImages = true;
  s.local.matchCase = false;
  s.local.searchPath = "/home/user/notes";
  s.local.reportText = "12 files: 3 found";
  s.local.searchTarget = 1;
  return s;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  // Reads a settings file holding exactly text into a default Settings.
  Settings readText(const std::string& text) {
    Settings settings;
    EXPECT_TRUE(readSettings(dir.write("in_settings.txt", text).string(), settings));
    return settings;
  }
  std::string path(const std::string& name) const { return (dir.path() / name).string(); }

  WorkingDirectoryGuard workingDirectory;
  TempDir dir;
};

TEST_F(SettingsFileTest, DefaultsAreWrittenAsTheTwentyTwoLines) {
  EXPECT_EQ(formatSettings(Settings{}), kDefaultText);
}

TEST_F(SettingsFileTest, EveryOptionIsWrittenUnderItsKey) {
  EXPECT_EQ(formatSettings(changedSettings("/work folder")),
            "Current directory:/work folder\n"
            "Web adress:http://www.example.com/start.htm?a=1\n"
            "Search links:0\n"
            "Search images:1\n"
            "Search emails:1\n"
            "Search keywords:1\n"
            "Match case:1\n"
            "Keywords to search:red green, \"blue sky\"\n"
            "Links level:3\n"
            "Folder to download:/srv/down load\n"
            "Max to download:1.5e+09\n"
            "Only root site:1\n"
            "Only paternt domain:1\n"
            "Search local links:1\n"
            "Search local images:1\n"
            "Search local emails:1\n"
            "Search local keywords:0\n"
            "Match local case:0\n"
            "Keywords local to search:alpha\n"
            "Search local in:/home/user/notes\n"
            "Report local in:12 files: 3 found\n"
            "Find local in file or folder:1\n");
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadChangesNothing) {
  Settings settings = changedSettings("keep");
  const std::string before = formatSettings(settings);
  EXPECT_FALSE(readSettings(path("missing_settings.txt"), settings));
  EXPECT_FALSE(readSettings(dir.path().string(), settings));
  EXPECT_EQ(formatSettings(settings), before);
  EXPECT_EQ(fs::current_path(), workingDirectory.saved());
}

TEST_F(SettingsFileTest, OnlyLinksLevelLeavesEveryOtherOptionAtItsDefault) {
  Settings expected;
  expected.fetch.levels = 3;
  EXPECT_EQ(formatSettings(readText("Links level:3\n")), formatSettings(expected));
  EXPECT_EQ(formatSettings(readText("")), kDefaultText);
}

TEST_F(SettingsFileTest, ValuesAreReadAsTheirKindsAsk) {
  EXPECT_TRUE(readText("Search images:2\n").fetch.findImages);
  EXPECT_TRUE(readText("Search images:-1\n").fetch.findImages);
  EXPECT_TRUE(readText("Search images: +1\n").fetch.findImages);
  EXPECT_FALSE(readText("Search links:\n").fetch.findWebLinks);
  EXPECT_FALSE(readText("Search links:yes\n").fetch.findWebLinks);
  EXPECT_FALSE(readText("Match local case:0\n").local.matchCase);
  EXPECT_EQ(readText("Links level:  -4 levels\n").fetch.levels, -4);
  EXPECT_EQ(readText("Find local in file or folder:1\n").local.searchTarget, 1);
  EXPECT_EQ(readText("Find local in file or folder:-1\n").local.searchTarget, -1);
  EXPECT_EQ(readText("Find local in file or folder:\n").local.searchTarget, 0);
  EXPECT_DOUBLE_EQ(readText("Max to download:1.5e+09\n").fetch.maxDownloadGB, 1.5e9);
  EXPECT_DOUBLE_EQ(readText("Max to download:\n").fetch.maxDownloadGB, 0);
  EXPECT_EQ(readText("Keywords to search: two  blanks \n").fetch.keywords, " two  blanks ");
  EXPECT_EQ(readText("Keywords to search:Links level:9\n").fetch.levels, 0);
}

TEST_F(SettingsFileTest, KeysMustBeginTheLineExactly) {
  const Settings settings =
      readText(" Match case:1\nmatch case:1\nMatch case 1\n\nMatch case:\nfoo:bar\n");
  EXPECT_EQ(formatSettings(settings), kDefaultText);
}

TEST_F(SettingsFileTest, TheLastOccurrenceWins) {
  const Settings settings = readText("Links level:3\nWeb adress:a\nLinks level:5\nWeb adress:b");
  EXPECT_EQ(settings.fetch.levels, 5);
  EXPECT_EQ(settings.fetch.startAddress, "b") << "a last line without a line feed counts";
}

TEST_F(SettingsFileTest, ACarriageReturnBelongsToTheValue) {
  const Settings settings = readText("Web adress:http://x.example.com/\r\nLinks level:4\r\n");
  EXPECT_EQ(settings.fetch.startAddress, "http://x.example.com/\r");
  EXPECT_EQ(settings.fetch.levels, 4);
}

TEST_F(SettingsFileTest, LongLinesAreReadWhole) {
  // The tail of a long value must not be taken for a line of its own.
  std::string value(980, 'k');
  value += "Links level:7";
  value += std::string(5000, 'x');
  const Settings settings = readText("Keywords to search:" + value + "\nSearch emails:1\n");
  EXPECT_EQ(settings.fetch.keywords, value);
  EXPECT_EQ(settings.fetch.levels, 0);
  EXPECT_TRUE(settings.fetch.findEmails);
}

TEST_F(SettingsFileTest, CurrentDirectoryChangesTheWorkingDirectory) {
  const Settings entered = readText("Current directory:" + dir.path().string() + "\n");
  EXPECT_EQ(fs::current_path(), dir.path());
  EXPECT_EQ(entered.workFolder, dir.path().string());

  const Settings refused = readText("Current directory:" + path("no such folder") + "\n");
  EXPECT_EQ(fs::current_path(), dir.path()) << "a folder that cannot be entered changes nothing";
  EXPECT_EQ(refused.workFolder, dir.path().string());

  Settings untouched;
  untouched.workFolder = "kept";
  ASSERT_TRUE(readSettings(dir.write("other.txt", "Links level:1\n").string(), untouched));
  EXPECT_EQ(untouched.workFolder, "kept");
}

TEST_F(SettingsFileTest, WritingThenReadingGivesEveryValueBack) {
  Settings written = changedSettings(dir.path().string());
  written.fetch.keywords = std::string(100000, 'w') + " end";
  written.local.reportText = "ends with a carriage return\r";
  written.local.searchPath = "";
  written.fetch.maxDownloadGB = 0.65;
  const std::string file = path("grab_settings.txt");
  ASSERT_TRUE(writeSettings(file, written));
  EXPECT_EQ(readFile(file), formatSettings(written));

  Settings read;
  read.local.searchPath = "replaced";
  ASSERT_TRUE(readSettings(file, read));
  EXPECT_EQ(formatSettings(read), formatSettings(written));
  EXPECT_EQ(read.fetch.keywords, written.fetch.keywords);
  EXPECT_EQ(read.local.reportText, written.local.reportText);
  EXPECT_EQ(read.local.searchPath, "");
  EXPECT_EQ(read.fetch.maxDownloadGB, 0.65);
  EXPECT_EQ(read.local.searchTarget, 1);
  EXPECT_EQ(read.workFolder, dir.path().string());
}

TEST_F(SettingsFileTest, NeverChosenSearchTargetStaysUnchosen) {
  const std::string file = path("s.txt");
  ASSERT_TRUE(writeSettings(file, Settings{}));
  Settings read;
  read.local.searchTarget = 1;
  ASSERT_TRUE(readSettings(file, read));
  EXPECT_EQ(read.local.searchTarget, -1);
}

TEST_F(SettingsFileTest, ALineFeedInAValueCannotStartAnotherLine) {
  Settings written;
  written.fetch.keywords = "one\nLinks level:9";
  const std::string text = formatSettings(written);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22);
  ASSERT_TRUE(writeSettings(path("s.txt"), written));
  Settings read;
  ASSERT_TRUE(readSettings(path("s.txt"), read));
  EXPECT_EQ(read.fetch.keywords, "one Links level:9");
  EXPECT_EQ(read.fetch.levels, 0);
}

TEST_F(SettingsFileTest, WritingReplacesTheOldFileWholeAndLeavesNothingElse) {
  const fs::path file = dir.write("grab_settings.txt", std::string(50000, 'o') + "\n");
  ASSERT_TRUE(writeSettings(file.string(), Settings{}));
  EXPECT_EQ(readFile(file), kDefaultText);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"grab_settings.txt"});
}

TEST_F(SettingsFileTest, WritingMakesAMissingFolder) {
  const std::string file = path("config/tarnwick/_settings.txt");
  ASSERT_TRUE(writeSettings(file, Settings{}));
  EXPECT_EQ(readFile(file), kDefaultText);
}

TEST_F(SettingsFileTest, AFailedWriteReportsItAndKeepsWhatWasThere) {
  dir.write("plain_file", "x");
  EXPECT_FALSE(writeSettings(path("plain_file/s.txt"), Settings{}));

  const fs::path occupied = dir.path() / "occupied";
  fs::create_directory(occupied);
  EXPECT_FALSE(writeSettings(occupied.string(), Settings{}));
  EXPECT_TRUE(fs::is_directory(occupied));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"occupied", "plain_file"}))
      << "no temporary file may stay behind";
}

}  // namespace
}  // namespace tarnwick
