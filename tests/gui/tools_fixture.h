#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QAction>
#include <QMenuBar>

#include "desktop_tools.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "support/http_server.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace tarnwick::gui::test {

namespace fs = std::filesystem;
using tarnwick::test::HttpServer;
using tarnwick::test::Page;
using tarnwick::test::ProxyEnvironment;
using tarnwick::test::readFile;
using tarnwick::test::runCli;
using tarnwick::test::ScopedEnv;
using tarnwick::test::TempDir;

// A main window started in a fresh folder, its boxes and choosers scripted.
class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDirectory_ = fs::current_path();
    fs::create_directories(dir.path() / "home");
    fs::current_path(dir.path());
    window = std::make_unique<MainWindow>(prompts, (dir.path() / "config/settings.txt").string());
    window->show();
  }
  void TearDown() override {
    window.reset();
    fs::current_path(savedDirectory_);
  }

  DesktopTools& tools() { return window->tools(); }

  // Runs the menu entry with this caption (without its '&').
  void trigger(const QString& caption) {
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (item->text().remove('&') == caption) return item->trigger();
    ADD_FAILURE() << "no menu entry " << caption.toStdString();
  }

  template <typename T>
  static T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) ADD_FAILURE() << "no control " << name;
    return found;
  }

  std::string url(const std::string& path) const { return server.base() + path; }

  TempDir dir;
  ScopedEnv home{"HOME", (dir.path() / "home").string()};
  ScopedEnv config{"XDG_CONFIG_HOME", (dir.path() / "config").string()};
  ProxyEnvironment direct{std::nullopt};
  HttpServer server;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;

 private:
  fs::path savedDirectory_;
};

}  // namespace tarnwick::gui::test
