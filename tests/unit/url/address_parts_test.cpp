#include "url/address_parts.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

struct SplitCase {
  const char* address;
  bool ok;
  const char* site;
  const char* pageAddress;
  const char* folder;
  const char* upperFolder;
};

constexpr SplitCase kSplitCases[] = {
    // Host only: both folders are the site.
    {"http://www.example.com", true, "http://www.example.com", "http://www.example.com",
     "http://www.example.com", "http://www.example.com"},
    {"http://www.example.com/", true, "http://www.example.com", "http://www.example.com/",
     "http://www.example.com", "http://www.example.com"},
    {"https://www.example.com", true, "https://www.example.com", "https://www.example.com",
     "https://www.example.com", "https://www.example.com"},
    {"https://example.com/", true, "https://example.com", "https://example.com/",
     "https://example.com", "https://example.com"},
    {"http://localhost", true, "http://localhost", "http://localhost", "http://localhost",
     "http://localhost"},
    {"https://localhost", true, "https://localhost", "https://localhost", "https://localhost",
     "https://localhost"},
    {"http://localhost:8080", true, "http://localhost:8080", "http://localhost:8080",
     "http://localhost:8080", "http://localhost:8080"},
    {"http://127.0.0.1:9", true, "http://127.0.0.1:9", "http://127.0.0.1:9", "http://127.0.0.1:9",
     "http://127.0.0.1:9"},
    {"http://127.0.0.1:9/", true, "http://127.0.0.1:9", "http://127.0.0.1:9/", "http://127.0.0.1:9",
     "http://127.0.0.1:9"},
    // A file one folder below the host.
    {"http://www.example.com/docs/page.htm", true, "http://www.example.com",
     "http://www.example.com/docs/page.htm", "http://www.example.com/docs",
     "http://www.example.com"},
    {"https://www.example.com/docs/page.htm", true, "https://www.example.com",
     "https://www.example.com/docs/page.htm", "https://www.example.com/docs",
     "https://www.example.com"},
    {"http://127.0.0.1:9/a/b.htm", true, "http://127.0.0.1:9", "http://127.0.0.1:9/a/b.htm",
     "http://127.0.0.1:9/a", "http://127.0.0.1:9"},
    // A file directly under the host.
    {"http://www.example.com/page.htm", true, "http://www.example.com",
     "http://www.example.com/page.htm", "http://www.example.com", "http://www.example.com"},
    // Deeper files and folders, with and without a trailing slash.
    {"http://www.example.com/a/b/page.htm?x=1&y=2", true, "http://www.example.com",
     "http://www.example.com/a/b/page.htm", "http://www.example.com/a/b",
     "http://www.example.com/a"},
    {"http://www.example.com/a/b/", true, "http://www.example.com", "http://www.example.com/a/b/",
     "http://www.example.com/a/b", "http://www.example.com/a"},
    {"https://example.com/a/", true, "https://example.com", "https://example.com/a/",
     "https://example.com/a", "https://example.com"},
    {"http://www.example.com/a/b", true, "http://www.example.com", "http://www.example.com/a/b",
     "http://www.example.com/a/b", "http://www.example.com/a"},
    {"http://localhost:8080/x", true, "http://localhost:8080", "http://localhost:8080/x",
     "http://localhost:8080/x", "http://localhost:8080"},
    {"https://127.0.0.1:8443/dir/sub", true, "https://127.0.0.1:8443",
     "https://127.0.0.1:8443/dir/sub", "https://127.0.0.1:8443/dir/sub",
     "https://127.0.0.1:8443/dir"},
    // Only the last segment's dot makes a file.
    {"http://x.example.com/a.b/c", true, "http://x.example.com", "http://x.example.com/a.b/c",
     "http://x.example.com/a.b/c", "http://x.example.com/a.b"},
    {"http://x.example.com/a/b.c/", true, "http://x.example.com", "http://x.example.com/a/b.c/",
     "http://x.example.com/a/b.c", "http://x.example.com/a"},
    // The query is cut at its first "?", whatever follows.
    {"http://a.example.org/list.php?next=/x/y.htm", true, "http://a.example.org",
     "http://a.example.org/list.php", "http://a.example.org", "http://a.example.org"},
    {"http://x.example.com/?id=3", true, "http://x.example.com", "http://x.example.com/",
     "http://x.example.com", "http://x.example.com"},
    // A "?" at position 0 or 1 is no query mark.
    {"h?tp://x.example.com/p.htm?q=1", true, "h?tp://x.example.com",
     "h?tp://x.example.com/p.htm?q=1", "h?tp://x.example.com", "h?tp://x.example.com"},
    {"?http://x.example.com/a/b.htm", true, "?http://x.example.com",
     "?http://x.example.com/a/b.htm", "?http://x.example.com/a", "?http://x.example.com"},
    // Doubled slashes are taken as they stand.
    {"http://x.example.com//a//b.htm", true, "http://x.example.com",
     "http://x.example.com//a//b.htm", "http://x.example.com//a/", "http://x.example.com//a"},
    // Failures: no "//", or a page address shorter than 6 characters.
    {"www.example.com/a.htm", false, "www.example.com/a.htm", "www.example.com/a.htm", "", ""},
    {"a://b", false, "a://b", "a://b", "", ""},
    {"", false, "", "", "", ""},
};

TEST(SplitAddress, AddressesOfEveryShape) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.address);
    AddressParts parts{"old site", "old page", "old folder", "old upper"};
    EXPECT_EQ(splitAddress(c.address, parts), c.ok);
    EXPECT_EQ(parts.site, c.site);
    EXPECT_EQ(parts.pageAddress, c.pageAddress);
    EXPECT_EQ(parts.folder, c.folder);
    EXPECT_EQ(parts.upperFolder, c.upperFolder);
  }
}

struct CompleteCase {
  const char* page;
  const char* link;
  const char* expected;
};

constexpr const char* kDeepPage = "http://www.example.com/a/b/page.htm?x=1";

constexpr CompleteCase kCompleteCases[] = {
    {kDeepPage, "", ""},
    {kDeepPage, "/x.htm", "http://www.example.com/x.htm"},
    {kDeepPage, "?q=2", "http://www.example.com/a/b/page.htm?q=2"},
    {kDeepPage, "../x.htm", "http://www.example.com/a/x.htm"},
    // Only one "../" is resolved.
    {kDeepPage, "../../x.htm", "http://www.example.com/a/../x.htm"},
    {kDeepPage, "x.htm", "http://www.example.com/a/b/x.htm"},
    {kDeepPage, "./x.htm", "http://www.example.com/a/b/./x.htm"},
    {kDeepPage, "a", "http://www.example.com/a/b/a"},
    {kDeepPage, "ab", "http://www.example.com/a/b/ab"},
    {kDeepPage, "#top", "http://www.example.com/a/b/#top"},
    {kDeepPage, "x.htm;jsessionid=1", "http://www.example.com/a/b/x.htm;jsessionid=1"},
    // Absolute only when it begins with "http" in lower case; kept as found.
    {kDeepPage, "http://other.example.net/", "http://other.example.net/"},
    {kDeepPage, "https://other.example.net//x", "https://other.example.net//x"},
    {kDeepPage, "httpfoo.htm", "httpfoo.htm"},
    {kDeepPage, "HTTP://X.EXAMPLE.COM/", "http://www.example.com/a/b/HTTP:/X.EXAMPLE.COM/"},
    // Doubled slashes behind the scheme collapse.
    {kDeepPage, "sub//deep///x.htm", "http://www.example.com/a/b/sub/deep/x.htm"},
    {kDeepPage, "//cdn.example.net/lib.js", "http://www.example.com/cdn.example.net/lib.js"},
    {"https://www.example.com/a/", "b//c.htm", "https://www.example.com/a/b/c.htm"},
    // A "//" found at position 7 or 8 is taken for the scheme's: nothing collapses.
    {"http://", "x//y", "http://x//y"},
    // Pages of other shapes.
    {"http://www.example.com/a/b/", "x.htm", "http://www.example.com/a/b/x.htm"},
    {"http://www.example.com/list.php?x=/a/b", "?y", "http://www.example.com/list.php?y"},
    {"https://www.example.com", "../x", "https://www.example.com/x"},
    {"https://www.example.com/dir/", "x.htm", "https://www.example.com/dir/x.htm"},
    {"https://www.example.com/dir/", "../x.htm", "https://www.example.com/x.htm"},
    {"http://localhost:8080/x", "y.htm", "http://localhost:8080/x/y.htm"},
    {"http://localhost:8080/x", "../y.htm", "http://localhost:8080/y.htm"},
    {"http://localhost:8080/x", "/z", "http://localhost:8080/z"},
    {"http://localhost:8080", "../y", "http://localhost:8080/y"},
    {"http://localhost:8080", "y", "http://localhost:8080/y"},
    {"http://127.0.0.1:9/a/b.htm", "c.htm", "http://127.0.0.1:9/a/c.htm"},
    {"http://127.0.0.1:9/a/b.htm", "../c.htm", "http://127.0.0.1:9/c.htm"},
    {"http://127.0.0.1:9/a/b.htm", "?p=1", "http://127.0.0.1:9/a/b.htm?p=1"},
};

TEST(CompleteLink, LinksOfEveryFormAgainstPagesOfEveryShape) {
  for (const CompleteCase& c : kCompleteCases) {
    SCOPED_TRACE(std::string(c.page) + " + " + c.link);
    AddressParts parts;
    splitAddress(c.page, parts);
    EXPECT_EQ(completeLink(parts, c.link), c.expected);
  }
}

TEST(CompleteLink, PartsAreReplacedAtEveryPage) {
  AddressParts parts;
  ASSERT_TRUE(splitAddress("http://www.example.com/a/b/page.htm", parts));
  ASSERT_TRUE(splitAddress("http://localhost:8080/", parts));
  EXPECT_EQ(completeLink(parts, "x"), "http://localhost:8080/x");
  EXPECT_EQ(completeLink(parts, "../x"), "http://localhost:8080/x");
  // A failed split leaves no folder of the page before.
  EXPECT_FALSE(splitAddress("no-scheme/page.htm", parts));
  EXPECT_EQ(completeLink(parts, "x"), "/x");
}

}  // namespace
}  // namespace tarnwick
