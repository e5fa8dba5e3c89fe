// The crawl's own address arithmetic, quirks included.
#include <gtest/gtest.h>

#include <set>

#include <string>
#include <tuple>
#include <vector>

#include "fetch/local_file_name.h"
#include "url/address_parts.h"
#include "url/file_address.h"
#include "url/root_domain.h"

namespace tarnwick {
namespace {

// Expected parts; "=" stands for the address itself, a leading "@" for the
// site. The split fails exactly when the folder stays empty.
struct SplitCase {
  const char *address, *site, *page, *folder, *upper;
};
constexpr SplitCase kSplitCases[] = {
    // Host only: both folders are the site.
    {"http://www.example.com", "=", "=", "@", "@"},
    {"https://example.com/", "https://example.com", "=", "@", "@"},
    {"http://localhost", "=", "=", "@", "@"},
    {"http://127.0.0.1:9", "=", "=", "@", "@"},
    // Files one folder below the host and directly under it.
    {"http://www.example.com/docs/page.htm", "http://www.example.com", "=", "@/docs", "@"},
    {"https://www.example.com/docs/page.htm", "https://www.example.com", "=", "@/docs", "@"},
    {"http://127.0.0.1:9/a/b.htm", "http://127.0.0.1:9", "=", "@/a", "@"},
    {"http://www.example.com/page.htm", "http://www.example.com", "=", "@", "@"},
    // Deeper files and folders, with and without a trailing slash.
    {"http://www.example.com/a/b/page.htm?x=1&y=2", "http://www.example.com", "@/a/b/page.htm",
     "@/a/b", "@/a"},
    {"http://www.example.com/a/b/", "http://www.example.com", "=", "@/a/b", "@/a"},
    {"https://example.com/a/", "https://example.com", "=", "@/a", "@"},
    {"http://www.example.com/a/b", "http://www.example.com", "=", "@/a/b", "@/a"},
    {"http://localhost:8080/x", "http://localhost:8080", "=", "@/x", "@"},
    // Only the last segment's dot makes a file.
    {"http://x.example.com/a.b/c", "http://x.example.com", "=", "@/a.b/c", "@/a.b"},
    {"http://x.example.com/a/b.c/", "http://x.example.com", "=", "@/a/b.c", "@/a"},
    // The query is cut at the first "?", but one at 0 or 1 is no query mark.
    {"http://a.example.org/list.php?next=/x/y.htm", "http://a.example.org", "@/list.php", "@", "@"},
    {"http://x.example.com/?id=3", "http://x.example.com", "@/", "@", "@"},
    {"h?tp://x.example.com/p.htm?q=1", "h?tp://x.example.com", "=", "@", "@"},
    // Doubled slashes are taken as they stand.
    {"http://x.example.com//a//b.htm", "http://x.example.com", "=", "@//a/", "@//a"},
    // Failures: no "//", or a page address shorter than 6 characters.
    {"www.example.com/a.htm", "=", "=", "", ""},
    {"a://b", "=", "=", "", ""},
    {"", "=", "=", "", ""},
};

TEST(SplitAddress, AddressesOfEveryShape) {
  AddressParts parts{"old site", "old page", "old folder", "old upper"};  // reused on purpose
  for (const SplitCase& c : kSplitCases) {
    const std::string site = std::string(c.site) == "=" ? c.address : c.site;
    const auto expand = [&](std::string v) {
      return v == "=" ? std::string(c.address) : v[0] == '@' ? site + v.substr(1) : v;
    };
    EXPECT_EQ(splitAddress(c.address, parts), *c.folder != '\0') << c.address;
    EXPECT_EQ((std::vector{parts.site, parts.pageAddress, parts.folder, parts.upperFolder}),
              (std::vector{site, expand(c.page), expand(c.folder), expand(c.upper)}))
        << c.address;
  }
}

constexpr const char* D = "http://www.example.com/a/b/page.htm?x=1";
constexpr const char* kCompleteCases[][3] = {
    {D, "", ""},
    {D, "/x.htm", "http://www.example.com/x.htm"},
    {D, "?q=2", "http://www.example.com/a/b/page.htm?q=2"},
    {D, "../x.htm", "http://www.example.com/a/x.htm"},
    {D, "../../x.htm", "http://www.example.com/a/../x.htm"},  // one "../" only
    {D, "x.htm", "http://www.example.com/a/b/x.htm"},
    {D, "./x.htm", "http://www.example.com/a/b/./x.htm"},
    {D, "x.htm;jsessionid=1", "http://www.example.com/a/b/x.htm;jsessionid=1"},
    // Absolute only when it begins with "http" in lower case; kept as found.
    {D, "http://other.example.net/", "http://other.example.net/"},
    {D, "https://other.example.net//x", "https://other.example.net//x"},
    {D, "httpfoo.htm", "httpfoo.htm"},
    {D, "HTTP://X.EXAMPLE.COM/", "http://www.example.com/a/b/HTTP:/X.EXAMPLE.COM/"},
    // Doubled slashes behind the scheme collapse, unless the first "//" at or
    // after 7 lies at 7 or 8 and is taken for the scheme's.
    {D, "sub//deep///x.htm", "http://www.example.com/a/b/sub/deep/x.htm"},
    {D, "//cdn.example.net/lib.js", "http://www.example.com/cdn.example.net/lib.js"},
    {"https://www.example.com/a/", "b//c.htm", "https://www.example.com/a/b/c.htm"},
    {"http://", "x//y", "http://x//y"},
    // Pages of other shapes.
    {"http://www.example.com/a/b/", "x.htm", "http://www.example.com/a/b/x.htm"},
    {"http://www.example.com/list.php?x=/a/b", "?y", "http://www.example.com/list.php?y"},
    {"https://www.example.com", "../x", "https://www.example.com/x"},
    {"http://localhost:8080/x", "y.htm", "http://localhost:8080/x/y.htm"},
    {"http://localhost:8080", "../y", "http://localhost:8080/y"},
    {"http://127.0.0.1:9/a/b.htm", "../c.htm", "http://127.0.0.1:9/c.htm"},
    // A failed split leaves nothing of the page before.
    {"no-scheme/page.htm", "x", "/x"},
};

TEST(CompleteLink, LinksOfEveryFormAgainstPagesOfEveryShape) {
  AddressParts parts;
  for (const auto& [page, link, expected] : kCompleteCases) {
    splitAddress(page, parts);
    EXPECT_EQ(completeLink(parts, link), expected) << page << " + " << link;
  }
}

TEST(RootDomainOf, TakesTheHostUpToItsSecondDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://www.example.com/", "http://www.example"},
      {"https://www.example.com/", "https://www.example"},
      {"http://wwwserver.example.org/", "http://wwwserver.example"},
      {"http://example.com/", "example"}, {"http://sub.example.com/x", "sub.example"},
      // The start page's name never counts; only "http://" is dropped.
      {"http://example.com/page.htm", "example"}, {"http://example.com/dir.v2/p.htm", "example"},
      {"https://example.com/index.htm", "https://example"},
      {"http://localhost:8080/index.htm", ""}, {"http://127.0.0.1:9/a.htm", "127.0"},
      {"www.example.com/a.htm", "www.example"}, {"", ""}};
  for (const auto& [address, root] : cases) EXPECT_EQ(rootDomainOf(address), root) << address;
}

TEST(IsInRootDomain, NonWebLinksAreInsideWebLinksMustContainIt) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"/relative.htm", "example", true}, {"HTTP://other.net/", "example", true},
      {"http://www.example.com/x", "example", true}, {"http://other.net/x", "example", false},
      {"http://other.net/?ref=example", "example", true},
      {"http://example.com/", "https://example", false}, {"http://anything/", "", true}};
  for (const auto& [link, root, inside] : cases)
    EXPECT_EQ(isInRootDomain(link, root), inside) << link << " in " << root;
}

TEST(IsFileAddress, AnyListedExtensionAnywhere) {
  const std::pair<const char*, bool> cases[] = {
      {"http://x.example.com/setup.exe", true},  {"http://x.example.com/a.zip", true},
      {"http://x.example.com/a.arj", true},      {"http://x.example.com/a.bmp", true},
      {"http://x.example.com/a.gif?x=1", true},  {"http://x.example.com/a.pip", true},
      {"http://x.example.com/pics/a.jpg", true}, {"http://x.example.com/files.zip/index.htm", true},
      {"http://x.example.com/a.exe1", true},     {"http://x.example.com/page.htm", false},
      {"http://x.example.com/a.jpeg", false},    {"http://x.example.com/a.png", false},
      {"http://x.example.com/A.ZIP", false},     {"", false},
  };
  for (const auto& [address, isFile] : cases) EXPECT_EQ(isFileAddress(address), isFile) << address;
}

TEST(LocalFileName, AddressesOfEveryKind) {
  const std::pair<const char*, const char*> cases[] = {
      // Only web addresses get a name; the scheme is exact.
      {"ftp://x.example.com/a.zip", ""}, {"HTTP://www.example.com/", ""}, {"", ""},
      // Archives and programs keep their own file name, without a query.
      {"http://www.example.com/files/setup.zip?v=2", "setup.zip"},
      {"http://dl.example.com/tool.exe", "tool.exe"}, {"https://dl.example.com/old.arj", "old.arj"},
      // A page behind the extension decides where the name ends.
      {"http://www.example.com/archive.zip/index.htm", "index.htm"},
      {"http://example.com/x.zip.htm", "zip.htm"},
      // Images and documents: host and path flattened.
      {"http://www.example.com/pics/cat.jpg", "example_com_pics_cat.jpg"},
      {"http://www.example.com/pics/cat.gif?size=2", "example_com_pics_cat.gif"},
      {"http://www.example.com/x.gif/y.htm", "example_com_x_gif_y.gif"},
      {"http://www.example.com/doc.txt", "example_com_doc.txt"},
      {"http://www.example.com/a\\b.doc", "example_com_a_b.doc"},
      {"http://www.example.com/index.html", "example_com_index.htm"},
      {"http://www.example.com/page.xml", "example_com_page.xm"},
      {"http://www.example.com/a.hm?x", "example_com_a.hm"},
      // Any other page: its flattened address with ".htm".
      {"http://www.example.com/", "example_com_.htm"},
      {"http://www.www.example.com/", "www_example_com_.htm"},
      {"http://www.example.com/a.shtml", "example_com_a_shtml.htm"},
      {"http://example.com/a/b.php?id=3", "example_com_a_b_php?id=3.htm"},
      {"http://localhost:8080/x", "localhost:8080_x.htm"},
      {"https://127.0.0.1:9/a/", "127_0_0_1:9_a_.htm"}, {"http://", ".htm"}};
  for (const auto& [address, name] : cases) {
    EXPECT_EQ(localFileName(address), name) << address;
    EXPECT_EQ(localFileName(address).find('/'), std::string::npos) << "must stay in the folder";
  }
}

// Names the file system would refuse are cut to fit with a hash of the whole;
// names up to the limit stay as they are.
TEST(LocalFileName, NamesOverTheFileSystemLimitAreShortenedDistinctly) {
  const std::string site = "http://www.example.com/";
  // "example_com_" (12 bytes) + path + ".htm" (4) is exactly 255 bytes for a path of 239.
  const std::string fits = site + std::string(239, 'p');
  EXPECT_EQ(localFileName(fits), "example_com_" + std::string(239, 'p') + ".htm");
  const struct {
    std::string address, extension;
  } rows[] = {
      {site + std::string(240, 'p'), ".htm"},
      {site + std::string(300, 'p') + "/a", ".htm"},
      {site + std::string(300, 'p') + "/b", ".htm"},
      {site + std::string(4000, 'q') + ".jpg", ".jpg"},
      {site + std::string(600, 'z') + ".zip", ".zip"},  // an archive's own name
  };
  std::set<std::string> names;
  for (const auto& row : rows) {
    const std::string name = localFileName(row.address);
    EXPECT_EQ(name.size(), 255u) << row.address.size();
    EXPECT_TRUE(name.ends_with(row.extension)) << name;
    EXPECT_EQ(name.find('/'), std::string::npos);
    EXPECT_EQ(localFileName(row.address), name) << "the same address, the same name";
    names.insert(name);
  }
  EXPECT_EQ(names.size(), std::size(rows));
}

}  // namespace
}  // namespace tarnwick
