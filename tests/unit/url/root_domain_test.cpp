#include "url/root_domain.h"

#include <gtest/gtest.h>

#include "url/file_address.h"

namespace tarnwick {
namespace {

struct RootCase {
  const char* startAddress;
  const char* rootDomain;
};

constexpr RootCase kRootCases[] = {
    {"http://www.example.com/", "http://www.example"},
    {"http://www.example.co.uk/a.htm", "http://www.example"},
    {"https://www.example.com/", "https://www.example"},
    {"http://wwwserver.example.org/", "http://wwwserver.example"},
    {"http://example.com/", "example"},
    {"http://sub.example.com/x", "sub.example"},
    // The start page's own name never reaches the root domain.
    {"http://example.com/page.htm", "example"},
    {"http://example.com/dir.v2/page.htm", "example"},
    // Only "http://" is dropped.
    {"https://example.com/index.htm", "https://example"},
    // A host without a dot: every link is inside.
    {"http://localhost:8080/index.htm", ""},
    {"http://127.0.0.1:9/a.htm", "127.0"},
    // Without "//" the whole address counts.
    {"www.example.com/a.htm", "www.example"},
    {"", ""},
};

TEST(RootDomainOf, TakesTheHostUpToItsSecondDot) {
  for (const RootCase& c : kRootCases) {
    SCOPED_TRACE(c.startAddress);
    EXPECT_EQ(rootDomainOf(c.startAddress), c.rootDomain);
  }
}

struct InsideCase {
  const char* link;
  const char* rootDomain;
  bool inside;
};

constexpr InsideCase kInsideCases[] = {
    {"/relative.htm", "example", true},
    {"mailto:x@other.net", "example", true},
    {"HTTP://other.net/", "example", true},
    {"http://www.example.com/x", "example", true},
    {"http://other.net/x", "example", false},
    {"http://other.net/?ref=example", "example", true},
    {"https://example.com/", "https://example", true},
    {"http://example.com/", "https://example", false},
    {"http://anything/", "", true},
};

TEST(IsInRootDomain, NonWebLinksAreInsideWebLinksMustContainIt) {
  for (const InsideCase& c : kInsideCases) {
    SCOPED_TRACE(std::string(c.link) + " in " + c.rootDomain);
    EXPECT_EQ(isInRootDomain(c.link, c.rootDomain), c.inside);
  }
}

TEST(FileExtensions, FixedListInItsOrder) {
  const std::vector<std::string> expected{".exe", ".zip", ".arj", ".bmp", ".gif", ".pip", ".jpg"};
  EXPECT_EQ(fileExtensions(), expected);
}

struct FileCase {
  const char* address;
  bool isFile;
};

constexpr FileCase kFileCases[] = {
    {"http://x.example.com/setup.exe", true},  {"http://x.example.com/a.zip", true},
    {"http://x.example.com/a.arj", true},      {"http://x.example.com/a.bmp", true},
    {"http://x.example.com/a.gif?x=1", true},  {"http://x.example.com/a.pip", true},
    {"http://x.example.com/pics/a.jpg", true}, {"http://x.example.com/files.zip/index.htm", true},
    {"http://x.example.com/a.exe1", true},     {"http://x.example.com/page.htm", false},
    {"http://x.example.com/a.jpeg", false},    {"http://x.example.com/a.png", false},
    {"http://x.example.com/A.ZIP", false},     {"", false},
};

TEST(IsFileAddress, AnyListedExtensionAnywhere) {
  for (const FileCase& c : kFileCases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(isFileAddress(c.address), c.isFile);
  }
}

}  // namespace
}  // namespace tarnwick
