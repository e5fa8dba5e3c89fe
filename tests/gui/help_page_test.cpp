#include "help_page.h"

#include <regex>

#include <QCoreApplication>
#include <QDir>

#include "tools_fixture.h"

namespace tarnwick::gui::test {
namespace {

// Help > "Online help" hands the browser the page beside the program.
TEST_F(ToolsTest, OnlineHelpOpensThePageThatShipsWithTheProgram) {
  trigger(QStringLiteral("Online help"));
  ASSERT_EQ(prompts.opened.size(), 1u)
      << (prompts.asked.empty() ? "" : prompts.asked[0].toStdString());
  const QUrl page = prompts.opened[0];
  EXPECT_TRUE(page.isLocalFile());
  const fs::path file = page.toLocalFile().toStdString();
  EXPECT_TRUE(fs::is_regular_file(file));
  EXPECT_EQ(file, fs::canonical(QCoreApplication::applicationDirPath().toStdString() +
                                "/help/index.html"));
  EXPECT_TRUE(prompts.asked.empty());
}

// The installed page comes first, the build folder's next; none: empty.
TEST(HelpPage, InstalledThenBesideTheProgram) {
  TempDir dir;
  const fs::path bin = dir.path() / "usr/bin";
  fs::create_directories(bin);
  const QString folder = QString::fromStdString(bin.string());
  EXPECT_EQ(findHelpPage(folder), QString());
  dir.write("usr/bin/help/index.html", "beside");
  EXPECT_EQ(findHelpPage(folder).toStdString(), (bin / "help/index.html").string());
  dir.write("usr/share/doc/tarnwick/help/index.html", "installed");
  EXPECT_EQ(findHelpPage(folder).toStdString(),
            (dir.path() / "usr/share/doc/tarnwick/help/index.html").string());
  fs::create_directories(dir.path() / "other/help/index.html");  // a folder is no page
  EXPECT_EQ(findHelpPage(QString::fromStdString((dir.path() / "other").string())), QString());
}

// The page stands alone: no scripts, nothing from the network, every picture
// and style sheet beside it; it names every window, command and node kind.
TEST(HelpPage, SelfContainedAndComplete) {
  const fs::path page = QCoreApplication::applicationDirPath().toStdString() + "/help/index.html";
  const std::string html = readFile(page);
  ASSERT_FALSE(html.empty());
  EXPECT_EQ(html.find("<script"), std::string::npos);
  const std::regex reference(R"((?:src|href)=\"([^\"]*)\")");
  int local = 0;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), reference);
       it != std::sregex_iterator(); ++it) {
    const std::string target = (*it)[1];
    if (target.rfind('#', 0) == 0) continue;  // a place on the page itself
    EXPECT_EQ(target.find(':'), std::string::npos) << "not a relative file: " << target;
    EXPECT_TRUE(fs::is_regular_file(page.parent_path() / target)) << target;
    ++local;
  }
  EXPECT_GE(local, 6) << "the style sheet and the screenshots";
  for (const char* name : {"Tarnwick",
                           "Fetch Internet",
                           "Find in local system",
                           "Choose file or folder to search",
                           "Save results",
                           "Set autoupdate",
                           "Print or paste WEB URL to download",
                           "Internet",
                           "Local mashine",
                           "Autoupadate",
                           "Download one page",
                           "Download list of links from file",
                           "Save all tree with structrure",
                           "Clear",
                           "Online help",
                           "About Tarnwick",
                           "Download",
                           "Open",
                           "Edit",
                           "Set link as initial WEB UR",
                           "Delete",
                           "Web links",
                           "E-mails",
                           "Key words",
                           "Images links",
                           "Go!",
                           "Stop",
                           "Set timer",
                           "Kill timer",
                           "tarnwick-cli"})
    EXPECT_NE(html.find(name), std::string::npos) << name;
  for (int kind = 0; kind <= 9; ++kind)
    EXPECT_NE(html.find("<td>" + std::to_string(kind) + "</td>"), std::string::npos) << kind;
}

}  // namespace
}  // namespace tarnwick::gui::test
