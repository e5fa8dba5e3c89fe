#include "tarnwick/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "results/output_file.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using test::readFile;

template <typename T>
std::string show(const T& value) {
  std::ostringstream out;  // "%g" for numbers, 0 or 1 for flags, like the file
  out << value;
  return out.str();
}
#define FIELD(member) [](const Settings& s) { return show(s.member); }

// The file after its "Current directory:" line: each key in order with its
// default, another value, and the option that the key sets.
const struct {
  const char *key, *byDefault, *other;
  std::string (*field)(const Settings&);
} kKeys[] = {
    {"Web adress:", "", "http://www.example.com/start.htm?a=1", FIELD(fetch.startAddress)},
    {"Search links:", "1", "0", FIELD(fetch.findWebLinks)},
    {"Search images:", "0", "1", FIELD(fetch.findImages)},
    {"Search emails:", "0", "1", FIELD(fetch.findEmails)},
    {"Search keywords:", "0", "1", FIELD(fetch.findKeywords)},
    {"Match case:", "0", "1", FIELD(fetch.matchCase)},
    {"Keywords to search:", "", "red \"blue sky\"", FIELD(fetch.keywords)},
    {"Links level:", "0", "3", FIELD(fetch.levels)},
    {"Folder to download:", "", "/srv/down load", FIELD(fetch.downloadFolder)},
    {"Max to download:", "0.65", "1.5e+09", FIELD(fetch.maxDownloadGB)},
    {"Only root site:", "0", "1", FIELD(fetch.onlyRootDomain)},
    {"Only paternt domain:", "0", "1", FIELD(fetch.onlyParentDomain)},
    {"Search local links:", "0", "1", FIELD(local.findWebLinks)},
    {"Search local images:", "0", "1", FIELD(local.findImages)},
    {"Search local emails:", "0", "1", FIELD(local.findEmails)},
    {"Search local keywords:", "1", "0", FIELD(local.findKeywords)},
    {"Match local case:", "1", "0", FIELD(local.matchCase)},
    {"Keywords local to search:", "", "alpha", FIELD(local.keywords)},
    {"Search local in:", "", "/home/user/notes", FIELD(local.searchPath)},
    {"Report local in:", "", "12 files: 3 found\r", FIELD(local.reportText)},
    {"Find local in file or folder:", "-1", "1", FIELD(local.searchTarget)},
    {"Parallel connections:", "8", "3", FIELD(fetch.parallelConnections)},
};

// The text written for default options, with the lines of the keys of
// `lines` replaced by them.
std::string defaultsWith(const std::vector<std::string>& lines) {
  std::string text = "Current directory:\n";
  for (const auto& k : kKeys) text += std::string(k.key) + k.byDefault + "\n";
  for (const std::string& line : lines) {
    const std::size_t at = text.find(line.substr(0, line.find(':') + 1));
    text.replace(at, text.find('\n', at) - at, line);
  }
  return text;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  ~SettingsFileTest() override { fs::current_path(saved); }
  std::string path(const char* name) const { return (dir.path() / name).string(); }
  Settings readText(const std::string& text) {
    Settings settings;
    EXPECT_TRUE(readSettings(dir.write("in.txt", text).string(), settings));
    return settings;
  }

  const fs::path saved = fs::current_path();
  test::TempDir dir;
  const std::string folder = dir.path().string();
};

TEST_F(SettingsFileTest, EachKeySetsItsOwnOptionAndIsWrittenBack) {
  for (const auto& k : kKeys) {
    const std::string line = k.key + std::string(k.other);
    const Settings settings = readText(line + "\n");
    EXPECT_EQ(k.field(settings), k.other);
    EXPECT_EQ(formatSettings(settings), defaultsWith({line}));
  }
}

// Values as C reads them with atoi and strtod and writes them with "%g": a
// line read, and the value then written under its key.
TEST_F(SettingsFileTest, ValuesAreReadAndWrittenAsTheirKindsAsk) {
  const std::pair<std::string, const char*> cases[] = {
      {"Search images:2", "1"}, {"Search images: -1", "1"}, {"Search links:", "0"},
      {"Search links:yes", "0"}, {"Find local in file or folder:", "0"},
      {"Links level: \t-4 levels", "-4"}, {"Links level:- 3", "0"}, {"Links level:0x10", "0"},
      {"Links level:99999999999", "2147483647"},
      {"Links level:-99999999999999999999999", "-2147483648"},
      {"Max to download:", "0"}, {"Max to download:  -2.25GB", "-2.25"},
      {"Max to download:-.5e1", "-5"}, {"Max to download:1.5E-3", "0.0015"},
      {"Max to download:1e+", "1"}, {"Max to download:1,5", "1"}, {"Max to download:inf", "0"},
      {"Max to download:0x1p3", "0"}, {"Max to download:0.0001", "0.0001"},
      {"Max to download:0.00001", "1e-05"}, {"Max to download:100000", "100000"},
      {"Max to download:1e6", "1e+06"}, {"Max to download:1234567", "1.23457e+06"},
      {"Max to download:123.456789", "123.457"},
      {"Keywords to search: two  blanks ", " two  blanks "},
      {"Keywords to search:Links level:9", "Links level:9"},
      // Stored as read; the crawl takes the nearest of 1 and 64.
      {"Parallel connections:0", "0"}, {"Parallel connections: 99", "99"}};
  for (const auto& [line, stored] : cases) {
    const std::string key = line.substr(0, line.find(':') + 1);
    EXPECT_EQ(formatSettings(readText(line + "\n")), defaultsWith({key + stored})) << line;
  }
}

// strtod's infinity would be written as "inf" and read back as 0, turning
// "no limit" into a limit of nothing.
TEST_F(SettingsFileTest, ANumberTooLargeForADoubleSurvivesAWriteAndARead) {
  for (const std::string sign : {"", "-"}) {
    const std::string line = "Max to download:" + sign + "1.79769e+308";
    const Settings once = readText("Max to download:" + sign + "1e999\n");
    EXPECT_TRUE(std::isfinite(once.fetch.maxDownloadGB));
    EXPECT_EQ(formatSettings(once), defaultsWith({line}));
    const Settings twice = readText(line + "\n");
    EXPECT_TRUE(std::isfinite(twice.fetch.maxDownloadGB));
    EXPECT_EQ(formatSettings(twice), defaultsWith({line}));
  }
}

TEST_F(SettingsFileTest, LinesAreMatchedWholeAndInOrder) {
  const std::string longValue = std::string(980, 'k') + "Links level:7" + std::string(5000, 'x');
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      // Keys begin the line exactly; other lines are skipped.
      {" Match case:1\nmatch case:1\nMatch case 1\n\nMatch case:\nfoo:bar\n", {}},
      // The last occurrence wins; text after the last line feed is a line
      // cut short, and is not read.
      {"Links level:3\nWeb adress:a\nLinks level:5\nWeb adress:b",
       {"Links level:5", "Web adress:a"}},
      {"Web adress:http://x/\r\nLinks level:4\r\n", {"Web adress:http://x/\r", "Links level:4"}},
      // Long lines are read whole: the tail of a value is no line of its own.
      {"Keywords to search:" + longValue + "\nSearch emails:1\n",
       {"Keywords to search:" + longValue, "Search emails:1"}},
  };
  for (const auto& [text, lines] : cases)
    EXPECT_EQ(formatSettings(readText(text)), defaultsWith(lines)) << text.substr(0, 60);
  EXPECT_EQ(fs::current_path(), saved);
}

TEST_F(SettingsFileTest, WritingThenReadingGivesEveryValueBack) {
  std::string text = "Current directory:" + folder + "\n";
  for (const auto& k : kKeys) text += k.key + std::string(k.other) + "\n";
  Settings settings = readText(text);
  ASSERT_EQ(formatSettings(settings), text);
  settings.fetch.keywords = std::string(100000, 'w') + " end";
  const std::string file = path("grab_settings.txt");
  ASSERT_TRUE(writeSettings(file, settings));
  EXPECT_EQ(readFile(file), formatSettings(settings));
  Settings read;
  ASSERT_TRUE(readSettings(file, read));
  EXPECT_EQ(formatSettings(read), formatSettings(settings));
  // Back to the defaults: empty texts, 0.65 and a target never chosen (-1).
  ASSERT_TRUE(writeSettings(file, Settings{}));
  EXPECT_EQ(readFile(file), defaultsWith({}));
  ASSERT_TRUE(readSettings(file, read));
  EXPECT_EQ(formatSettings(read), defaultsWith({"Current directory:" + folder}));
}

// Files written before the parallel-connections line existed: their 22 lines
// mean what they meant, and the new last line comes with its default.
TEST_F(SettingsFileTest, AFileOfTheFirst22LinesReadsTheDefaultParallelConnections) {
  std::string older = "Current directory:" + folder + "\n";
  for (const auto& k : kKeys)
    if (std::string(k.key) != "Parallel connections:") older += k.key + std::string(k.other) + "\n";
  ASSERT_EQ(std::count(older.begin(), older.end(), '\n'), 22);
  const Settings settings = readText(older);
  EXPECT_EQ(settings.fetch.parallelConnections, 8);
  EXPECT_EQ(formatSettings(settings), older + "Parallel connections:8\n");
}

// A GUI toolkit may adopt the user's locale for the whole process; the file
// must not follow it.
TEST_F(SettingsFileTest, NumbersUseADotInEveryLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  bool commaLocale = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8"})
    if ((commaLocale = std::setlocale(LC_ALL, name) != nullptr)) break;
  if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const std::string text = formatSettings(readText("Max to download:1.5e+09\n"));
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(text, defaultsWith({"Max to download:1.5e+09"}));
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadChangesNothing) {
  Settings settings;
  settings.fetch.levels = 3;
  EXPECT_FALSE(readSettings(path("missing.txt"), settings));
  EXPECT_FALSE(readSettings(folder, settings));
  EXPECT_EQ(formatSettings(settings), defaultsWith({"Links level:3"}));
}

TEST_F(SettingsFileTest, CurrentDirectoryChangesTheWorkingDirectory) {
  Settings settings = readText("Current directory:" + folder + "\n");
  EXPECT_EQ(fs::current_path(), dir.path());
  EXPECT_EQ(settings.workFolder, folder);
  const std::string refused = "Current directory:" + path("no such folder") + "\n";
  settings = readText(refused);
  EXPECT_EQ(fs::current_path(), dir.path()) << "a folder that cannot be entered changes nothing";
  EXPECT_EQ(settings.workFolder, folder);
}

TEST_F(SettingsFileTest, ALineFeedInAValueCannotStartAnotherLine) {
  Settings settings;
  settings.fetch.keywords = "one\nLinks level:9";
  EXPECT_EQ(formatSettings(settings), defaultsWith({"Keywords to search:one Links level:9"}));
}

TEST_F(SettingsFileTest, WritingReplacesTheFileWholeOrLeavesItAsItWas) {
  const fs::path file = dir.write("grab_settings.txt", std::string(50000, 'o') + "\n");
  ASSERT_TRUE(writeSettings(file.string(), Settings{}));
  EXPECT_EQ(readFile(file), defaultsWith({}));
  ASSERT_TRUE(writeSettings(path("config/tarnwick/_settings.txt"), Settings{}));
  EXPECT_EQ(readFile(path("config/tarnwick/_settings.txt")), defaultsWith({}));
  dir.write("plain_file", "x");
  EXPECT_FALSE(writeSettings(path("plain_file/s.txt"), Settings{}));
  fs::create_directory(path("occupied"));
  EXPECT_FALSE(writeSettings(path("occupied"), Settings{}));
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"config", "grab_settings.txt", "occupied", "plain_file"}))
      << "no temporary file may stay behind";
}

// The file as written for every key at its other value.
std::string realFile(const std::string& workFolder) {
  std::string text = "Current directory:" + workFolder + "\n";
  for (const auto& k : kKeys) text += k.key + std::string(k.other) + "\n";
  return text;
}

// A file cut at any byte, as a full disk or a broken copy leaves it: the
// lines before the cut are read, every other option keeps its default, and
// the working directory changes only for a whole "Current directory:" line.
TEST_F(SettingsFileTest, AFileCutAtAnyByteGivesItsWholeLinesAndDefaults) {
  const std::string text = realFile(folder);
  const std::string defaults = defaultsWith({});
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    fs::current_path(saved);
    const std::size_t whole = text.rfind('\n', cut == 0 ? 0 : cut - 1);
    const std::size_t kept = cut == 0 || whole == std::string::npos ? 0 : whole + 1;
    // Whole lines of the file, then the default lines of the rest.
    std::string want = text.substr(0, kept);
    const auto lines = std::count(want.begin(), want.end(), '\n');
    std::size_t from = 0;
    for (long i = 0; i < lines; ++i) from = defaults.find('\n', from) + 1;
    want += defaults.substr(from);
    EXPECT_EQ(formatSettings(readText(text.substr(0, cut))), want) << "cut at " << cut;
    EXPECT_EQ(fs::current_path(), kept > 0 ? dir.path() : saved) << "cut at " << cut;
  }
}

// Runs readSettings as a user for whom file permissions hold ("nobody" when
// the test runs as root) and gives what it returned.
bool readsAsOtherUser(const std::string& path) {
  if (::geteuid() != 0) {
    Settings settings;
    return readSettings(path, settings);
  }
  const pid_t child = ::fork();
  if (child == 0) {
    Settings settings;
    const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
    ::_exit(!dropped ? 2 : readSettings(path, settings) ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// Names that hold no readable settings file: reading gives false and changes
// nothing, and nothing blocks or fills memory.
TEST_F(SettingsFileTest, ASettingsFileThatIsNoReadableFile) {
  fs::permissions(dir.path(), fs::perms::all);
  const std::string line = "Links level:4\n";
  const struct {
    const char* what;
    std::function<void(const fs::path&)> make;
  } rows[] = {
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"a fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0); }},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
      {"a link loop", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }},
  };
  for (const auto& row : rows) {
    const fs::path file = dir.path() / "settings.txt";
    row.make(file);
    Settings settings;
    settings.fetch.levels = 3;
    EXPECT_FALSE(readSettings(file.string(), settings)) << row.what;
    EXPECT_EQ(formatSettings(settings), defaultsWith({"Links level:3"})) << row.what;
    fs::remove(file);
  }
  const fs::path shut = dir.write("shut.txt", line);
  fs::permissions(shut, fs::perms::owner_write);
  EXPECT_FALSE(readsAsOtherUser(shut.string())) << "an unreadable file";
  fs::permissions(shut, fs::perms::all);
  EXPECT_TRUE(readsAsOtherUser(shut.string())) << "the same file, readable";
}

// Writes fail with ENOSPC, as on a full disk.
ssize_t diskFull(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

// A write that fails leaves the previous file byte for byte, with its
// permissions, and no temporary file beside it; one that succeeds keeps the
// permissions too.
TEST_F(SettingsFileTest, AWriteThatFailsLeavesThePreviousFileAsItWas) {
  const std::string previous = realFile(folder);
  const fs::path file = dir.write("tarnwick_settings.txt", previous);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  OutputFile::setWriteCallForTesting(&diskFull);
  const bool written = writeSettings(file.string(), Settings{});
  OutputFile::setWriteCallForTesting(nullptr);
  EXPECT_FALSE(written);
  EXPECT_EQ(readFile(file), previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "a temporary file stayed";
  ASSERT_TRUE(writeSettings(file.string(), Settings{}));
  EXPECT_EQ(readFile(file), defaultsWith({}));
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A settings file kept with the user's other configuration and linked into
// place stays linked; a link to no file is replaced by the file.
TEST_F(SettingsFileTest, ALinkedSettingsFileStaysLinked) {
  const fs::path kept = dir.write("dotfiles/tarnwick_settings.txt", realFile(folder));
  const fs::path link = dir.path() / "config" / "tarnwick_settings.txt";
  fs::create_directories(link.parent_path());
  fs::create_symlink("../dotfiles/tarnwick_settings.txt", link);
  ASSERT_TRUE(writeSettings(link.string(), Settings{}));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readFile(kept), defaultsWith({}));
  EXPECT_EQ(std::distance(fs::directory_iterator(kept.parent_path()), {}), 1);
  fs::remove(kept);
  ASSERT_TRUE(writeSettings(link.string(), Settings{}));
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(readFile(link), defaultsWith({}));
}

TEST_F(SettingsFileTest, AFullDiskLeavesThePreviousFileAsItWas) {
  const test::SmallDisk disk(dir.path() / "disk", 64);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  const std::string previous = realFile(folder);
  const fs::path file = dir.write("disk/tarnwick_settings.txt", previous);
  disk.fill();
  Settings settings;
  settings.fetch.keywords = std::string(4096, 'k');  // more than the room left
  EXPECT_FALSE(writeSettings(file.string(), settings));
  EXPECT_EQ(readFile(file), previous);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path() / "disk"))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"filler", "tarnwick_settings.txt"}));
}

// Sets an environment variable for one test.
struct EnvironmentGuard {
  explicit EnvironmentGuard(const char* name) : name(name) {
    if (const char* value = std::getenv(name)) saved = value;
  }
  ~EnvironmentGuard() { saved ? ::setenv(name, saved->c_str(), 1) : ::unsetenv(name); }
  const char* name;
  std::optional<std::string> saved;
};

TEST_F(SettingsFileTest, SettingsPathIsInTheUsersConfigurationUnlessACopySitsBesideTheProgram) {
  EnvironmentGuard xdg("XDG_CONFIG_HOME"), home("HOME");
  ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
  ::setenv("HOME", path("home").c_str(), 1);
  fs::create_directories(path("portable"));
  dir.write("portable/grab_settings.txt", "");
  fs::create_directories(path("portable/tarnwick_settings.txt"));  // a folder is no copy
  const std::pair<const char*, const char*> cases[] = {
      {"bin/grab.exe", "config/tarnwick/grab_settings.txt"},
      {"bin/my.prog.bin", "config/tarnwick/my.prog_settings.txt"},
      {"bin/tarnwick", "config/tarnwick/tarnwick_settings.txt"},
      {"v1.0/tarnwick", "config/tarnwick/tarnwick_settings.txt"},
      {"portable/grab.exe", "portable/grab_settings.txt"},
      {"portable/tarnwick", "config/tarnwick/tarnwick_settings.txt"}};
  for (const auto& [program, settings] : cases)
    EXPECT_EQ(settingsPathFor(path(program)), path(settings)) << program;
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(settingsPathFor(path("bin/a.exe")), path("home/.config/tarnwick/a_settings.txt"));
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
  EXPECT_EQ(settingsPathFor(path("bin/tarnwick")), path("home/.config/tarnwick/tarnwick_settings.txt"));
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(settingsPathFor(path("bin/tarnwick")), path("bin/tarnwick_settings.txt"));
}

}  // namespace
}  // namespace tarnwick
