#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings_test_support.h"
#include "support/temp_dir.h"
#include "tarnwick/settings_file.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using test::EnvironmentGuard;
using test::TempDir;

class SettingsPathTest : public ::testing::Test {
 protected:
  std::string in(const TempDir& folder, const std::string& name) const {
    return (folder.path() / name).string();
  }

  TempDir program;
  TempDir config;
  TempDir home;
  EnvironmentGuard xdg{"XDG_CONFIG_HOME"};
  EnvironmentGuard homeVariable{"HOME"};
};

TEST_F(SettingsPathTest, BesideAProgramInAWritableFolder) {
  xdg.set(config.path().string());
  EXPECT_EQ(settingsPathFor(in(program, "grab.exe")), in(program, "grab_settings.txt"));
  EXPECT_EQ(settingsPathFor(in(program, "my.prog.bin")), in(program, "my.prog_settings.txt"));
  EXPECT_EQ(settingsPathFor(in(program, "tarnwick")), in(program, "_settings.txt"));
  fs::create_directory(program.path() / "v1.0");
  EXPECT_EQ(settingsPathFor(in(program, "v1.0/tarnwick")), in(program, "v1.0/_settings.txt"));
}

TEST_F(SettingsPathTest, AProgramPathWithoutAFolderMeansTheWorkingDirectory) {
  test::WorkingDirectoryGuard guard;
  fs::current_path(program.path());
  EXPECT_EQ(settingsPathFor("grab.exe"), "grab_settings.txt");
}

TEST_F(SettingsPathTest, AFolderThatCannotBeWrittenSendsTheFileToTheUsersConfiguration) {
  xdg.set(config.path().string());
  homeVariable.set(home.path().string());
  const std::string expected = in(config, "tarnwick/grab_settings.txt");
  EXPECT_EQ(settingsPathFor(in(program, "missing/grab.exe")), expected);
  program.write("file.txt", "x");
  EXPECT_EQ(settingsPathFor(in(program, "file.txt/grab.exe")), expected);
  EXPECT_EQ(settingsPathFor(in(program, "missing/tarnwick")), in(config, "tarnwick/_settings.txt"));

  xdg.unset();
  EXPECT_EQ(settingsPathFor(in(program, "missing/grab.exe")),
            in(home, ".config/tarnwick/grab_settings.txt"));
  xdg.set("relative/config");
  EXPECT_EQ(settingsPathFor(in(program, "missing/grab.exe")),
            in(home, ".config/tarnwick/grab_settings.txt"));
}

TEST_F(SettingsPathTest, AReadOnlyFolderSendsTheFileToTheUsersConfiguration) {
  if (::geteuid() == 0) GTEST_SKIP() << "every folder is writable for root";
  xdg.set(config.path().string());
  const fs::path locked = program.path() / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(settingsPathFor((locked / "grab.exe").string()),
            in(config, "tarnwick/grab_settings.txt"));
  fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(SettingsPathTest, TheFallbackPathCanBeWrittenAndReadBack) {
  xdg.set(config.path().string());
  const std::string file = settingsPathFor(in(program, "missing/grab.exe"));
  Settings written;
  written.fetch.levels = 2;
  ASSERT_TRUE(writeSettings(file, written));
  Settings read;
  ASSERT_TRUE(readSettings(file, read));
  EXPECT_EQ(read.fetch.levels, 2);
}

}  // namespace
}  // namespace tarnwick
