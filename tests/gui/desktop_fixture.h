#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "fetch_dialog.h"
#include "local_dialog.h"
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
using tarnwick::test::runCli;
using tarnwick::test::ScopedEnv;
using tarnwick::test::TempDir;

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDirectory_ = fs::current_path();
    fs::create_directories(dir.path() / "home");
    fs::current_path(dir.path());
    window = std::make_unique<MainWindow>(prompts, settingsPath());
    window->show();
  }
  void TearDown() override {
    window.reset();
    fs::current_path(savedDirectory_);
  }

  std::string settingsPath() const { return (dir.path() / "config/tarnwick_settings.txt").string(); }

  FetchDialog* openFetch() {
    window->toggleFetchDialog();
    return qobject_cast<FetchDialog*>(window->fetchWindow());
  }
  LocalDialog* openLocal() {
    window->toggleLocalDialog();
    return qobject_cast<LocalDialog*>(window->localWindow());
  }
  template <typename T>
  static T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) ADD_FAILURE() << "no control " << name;
    return found;
  }
  // Delivers the posted start requests; a search they start runs to its end inside.
  static void handleRequests() { QCoreApplication::sendPostedEvents(); }

  // Serves a small site: a start page, two pages under it, an e-mail and an image.
  void serveSite() {
    server.serve("/", "<a href=\"a.html\">A</a> <a href=\"b.html\">B</a> "
                      "<a href=\"mailto:me@site.example\">me</a> "
                      "<img src=\"pic.gif\"> the Key word");
    server.serve("/a.html", "<a href=\"b.html\">B</a> <a href=\"c.html\">C</a> key "
                            "<a href=\"mailto:info@site.example\">info</a>");
    server.serve("/b.html", "write to info@site.example");
    server.serve("/c.html", "deeper");
  }
  void fillFetch(FetchDialog* fetch, const std::string& address, int levels) {
    child<QLineEdit>(fetch, "addressEdit")->setText(QString::fromStdString(address));
    for (int i = 0; i < levels; ++i) child<QSpinBox>(fetch, "levelEdit")->stepUp();
    child<QPushButton>(fetch, "emailsButton")->click();
    child<QPushButton>(fetch, "imagesButton")->click();
    child<QPushButton>(fetch, "keywordsButton")->click();
    child<QLineEdit>(fetch, "keywordsEdit")->setText(QStringLiteral("key"));
  }
  std::string cliCrawlTree(const std::string& address, int levels) {
    const auto result = runCli({"crawl", address, "--levels", std::to_string(levels), "--find",
                                "links,images,emails,keywords", "--keywords", "key",
                                "--ignore-case", "--tree", "-"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

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
