#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "results/output_file.h"
#include "support/temp_dir.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

std::size_t entries(const fs::path& dir) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(OutputFile, TargetAppearsOnlyOnCommit) {
  TempDir dir;
  const fs::path target = dir.path() / "out.txt";
  {
    OutputFile out(target);
    out.write("first ");
    out.write(std::string(200 * 1024, 'x'));  // larger than the buffer
    out.put('\n');
    EXPECT_FALSE(fs::exists(target));
    out.commit();
  }
  EXPECT_EQ(fs::file_size(target), 6u + 200 * 1024 + 1);
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(OutputFile, UncommittedLeavesOldContentAndNoTemporaryFile) {
  TempDir dir;
  const fs::path target = dir.write("out.txt", "old");
  {
    OutputFile out(target);
    out.write("new");
  }
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(OutputFile, KeepsTheModeOfTheFileItReplaces) {
  TempDir dir;
  const fs::path target = dir.write("out.txt", "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  OutputFile out(target);
  out.write("new");
  out.commit();
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(OutputFile, ALinkKeepsPointingAtTheNewContent) {
  TempDir dir;
  const fs::path real = dir.write("sub/real.txt", "old");
  const fs::path link = dir.path() / "link.txt";
  fs::create_symlink(real, link);
  OutputFile out(link);
  out.write("new");
  out.commit();
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readFile(real), "new");
  EXPECT_EQ(entries(dir.path() / "sub"), 1u);
}

TEST(OutputFile, RefusalsNameThePath) {
  TempDir dir;
  const fs::path file = dir.write("plain", "x");
  for (const fs::path& target : {dir.path(), file / "below", dir.path() / "none" / "x"}) {
    try {
      OutputFile out(target);
      ADD_FAILURE() << target;
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(entries(dir.path()), 1u);
}

}  // namespace
}  // namespace tarnwick::test
