#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"
#include "tree_fixture.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

SaveResultsOptions sections(bool emails, bool links, bool keywords) {
  SaveResultsOptions options;
  options.emails = emails;
  options.allWebLinks = links;
  options.keywords = keywords;
  return options;
}

class SaveResults : public ::testing::Test {
 protected:
  // Saves and returns the file's bytes; the save must succeed.
  std::string save(const SaveResultsOptions& options, std::string_view startAddress = "",
                   Item selected = Item()) {
    const fs::path path = dir.path() / "results.txt";
    const ExportResult result = saveResults(f.tree, options, selected, startAddress, path);
    EXPECT_EQ(result.status, ExportStatus::Written) << result.message << result.detail;
    return readFile(path);
  }

  TreeFixture f;
  TempDir dir;
};

TEST_F(SaveResults, WritesTheThreeSectionsInTheirOrderAndForms) {
  const Item page = f.page("http://www.shop.com/index.html");
  const Item links = f.webLinks(page);
  const Item a = f.link(links, "http://www.shop.com/a.html");
  f.link(links, "This link is outside");
  f.keyword(f.keywords(page), "(1) 'price' ");
  f.email(f.emails(page), "sales@shop.com");
  f.email(f.emails(a), "info@shop.com");
  f.link(f.webLinks(a), "http://www.shop.com/index.html");  // already written as the page

  EXPECT_EQ(save(sections(true, true, true), "http://www.shop.com/"),
            "info@shop.com  http://www.shop.com/a.html\n"  // the walk meets link a first
            "sales@shop.com  http://www.shop.com/index.html\n"
            "http://www.shop.com/index.html\r\n"
            "http://www.shop.com/a.html\r\n"
            "(1) 'price' \n");
}

TEST_F(SaveResults, PagesWithoutHttpGetTheDomainPrefix) {
  struct Case {
    const char* startAddress;
    const char* pageLabel;
    const char* expectedLine;
  };
  const std::vector<Case> cases = {
      // A local file's path.
      {"http://www.shop.com/start", "/home/me/list.txt", "m@x.org  http://www.shop.com/home/me/list.txt\n"},
      // "https://" does not contain "http:".
      {"http://www.shop.com/", "https://secure.org/p", "m@x.org  http://www.shop.comhttps://secure.org/p\n"},
      // "http:" anywhere keeps the label as it is.
      {"http://www.shop.com/", "seen on http://a.org", "m@x.org  seen on http://a.org\n"},
      // ".com" inside a longer host label ends the prefix.
      {"http://www.company.org/", "/f.txt", "m@x.org  http://www.com/f.txt\n"},
      {"http://host.net/page.html", "/f.txt", "m@x.org  http://host.net/f.txt\n"},
      // Neither ".com" nor ".net": the label alone.
      {"http://127.0.0.1:8080/", "/f.txt", "m@x.org  /f.txt\n"},
  };
  for (const Case& c : cases) {
    f.tree.clearResults();
    const Item page = f.tree.insert(f.tree.rootItem(), c.pageLabel, NodeKind::Page);
    f.email(f.emails(page), "m@x.org");
    EXPECT_EQ(save(sections(true, false, false), c.startAddress), c.expectedLine) << c.pageLabel;
  }
}

TEST(DomainPrefix, FirstComElseFirstNet) {
  EXPECT_EQ(domainPrefix("http://a.net/b.com/c"), "http://a.net/b.com");
  EXPECT_EQ(domainPrefix("http://a.net/b.COM/c"), "http://a.net");
  EXPECT_EQ(domainPrefix("http://a.org/"), "");
  EXPECT_EQ(domainPrefix(""), "");
}

TEST(SplitExtensions, DropsEmptyPiecesAndPutsADotInFront) {
  EXPECT_EQ(splitExtensions("html, hml, php, p"),
            (std::vector<std::string>{".html", ".hml", ".php", ".p"}));
  EXPECT_EQ(splitExtensions(" ;,html,,; ;.php, \tx;"),
            (std::vector<std::string>{".html", "..php", ".\tx"}));
  EXPECT_TRUE(splitExtensions(" ,; ").empty());
}

TEST_F(SaveResults, ExtensionFilterNeedsAMatchAfterPositionZero) {
  const Item links = f.webLinks(f.page("http://x.org/"));
  std::string everything = "http://x.org/\r\n";
  for (const char* label : {"http://x.org/doc.pdf", "http://x.org/pic.png", "http://x.org/a.html",
                            ".html", "http://x.org/img.gif", "http://x.org/a..php",
                            "http://x.org/b.php"}) {
    f.link(links, label);
    everything += label + std::string("\r\n");
  }
  SaveResultsOptions options = sections(false, true, false);
  options.onlyWithExtensions = true;
  // Default list: .p catches .pdf, .png and .php; ".html" at position 0 does not count.
  EXPECT_EQ(save(options), "http://x.org/doc.pdf\r\nhttp://x.org/pic.png\r\nhttp://x.org/a.html\r\n"
                           "http://x.org/a..php\r\nhttp://x.org/b.php\r\n");
  // A typed dot doubles: only labels with two dots before the extension pass.
  options.extensionText = ";.php,";
  EXPECT_EQ(save(options), "http://x.org/a..php\r\n");
  // An empty list tests nothing.
  options.extensionText = " , ";
  EXPECT_EQ(save(options), everything);
  // The filter alone is no section.
  options.allWebLinks = false;
  options.emails = true;
  EXPECT_EQ(save(options), "");
}

TEST_F(SaveResults, SameLinkOnSeveralPagesIsWrittenOnceEmailsEveryTime) {
  for (const char* address : {"http://a.com/1", "http://a.com/2"}) {
    const Item page = f.page(address);
    f.link(f.webLinks(page), "http://shared.com/");
    f.email(f.emails(page), "same@a.com");
  }
  EXPECT_EQ(save(sections(true, true, false)),
            "same@a.com  http://a.com/1\nsame@a.com  http://a.com/2\n"
            "http://a.com/1\r\nhttp://shared.com/\r\nhttp://a.com/2\r\n");
}

TEST_F(SaveResults, SelectedBranchOnly) {
  const Item page = f.page("http://a.com/");
  const Item links = f.webLinks(page);
  f.link(links, "http://a.com/x");
  f.link(links, "http://a.com/y");
  const Item mail = f.email(f.emails(page), "me@a.com");
  SaveResultsOptions options = sections(true, true, true);
  options.saveAllContent = false;
  EXPECT_EQ(save(options, "", links), "http://a.com/x\r\nhttp://a.com/y\r\n");
  EXPECT_EQ(save(options, "", mail), "me@a.com  http://a.com/\n");
  EXPECT_EQ(save(options, "", Item()), "");  // nothing selected: an empty file
  options.saveAllContent = true;             // the selection no longer matters
  EXPECT_EQ(save(options, "", mail).substr(0, 8), "me@a.com");
}

TEST_F(SaveResults, NoSectionChosenTouchesNoFile) {
  SaveResultsOptions options;  // the dialog's defaults
  options.onlyWithExtensions = true;
  const fs::path path = dir.path() / "results.txt";
  const ExportResult result = saveResults(f.tree, options, Item(), "", path);
  EXPECT_EQ(result.status, ExportStatus::NothingChosen);
  EXPECT_EQ(result.message, messages::kChooseSameOption);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(SaveResults, FileThatCannotBeMadeIsReported) {
  f.email(f.emails(f.page("http://a.com/")), "me@a.com");
  for (const fs::path& path : {dir.path() / "missing" / "r.txt", dir.path()}) {
    const ExportResult result = saveResults(f.tree, sections(true, false, false), Item(), "", path);
    EXPECT_EQ(result.status, ExportStatus::CannotOpen) << path;
    EXPECT_EQ(result.message, messages::kSavingFileCannotOpen);
    EXPECT_NE(result.detail.find(path.string()), std::string::npos) << result.detail;
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A file-size limit makes the write break off part way.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_DFL);
  }

 private:
  rlimit saved_{};
};

TEST_F(SaveResults, BrokenWriteLeavesTheOldFileAsItWas) {
  const Item links = f.webLinks(f.page("http://a.com/"));
  for (int i = 0; i < 20000; ++i) f.link(links, "http://a.com/page" + std::to_string(i));
  const fs::path path = dir.write("results.txt", "old content\n");
  ExportResult result;
  {
    FileSizeLimit limit(100 * 1024);
    result = saveResults(f.tree, sections(false, true, false), Item(), "", path);
  }
  EXPECT_EQ(result.status, ExportStatus::WriteFailed);
  EXPECT_FALSE(result.message.empty());
  EXPECT_EQ(readFile(path), "old content\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(SaveResults, DeviceTargetIsWrittenInPlace) {
  f.email(f.emails(f.page("http://a.com/")), "me@a.com");
  EXPECT_EQ(saveResults(f.tree, sections(true, false, false), Item(), "", "/dev/null").status,
            ExportStatus::Written);
  EXPECT_EQ(saveResults(f.tree, sections(true, false, false), Item(), "", "/dev/full").status,
            ExportStatus::WriteFailed);
}

}  // namespace
}  // namespace tarnwick::test
