#include "fetch/local_file_name.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct NameCase {
  const char* address;
  const char* name;
};

constexpr NameCase kNameCases[] = {
    // Only web addresses get a name; the scheme is exact.
    {"ftp://x.example.com/a.zip", ""},
    {"HTTP://www.example.com/", ""},
    {"", ""},
    // Archives and programs keep their own file name, without a query.
    {"http://www.example.com/files/setup.zip", "setup.zip"},
    {"http://www.example.com/files/setup.zip?v=2", "setup.zip"},
    {"http://dl.example.com/tool.exe", "tool.exe"},
    {"https://dl.example.com/old.arj", "old.arj"},
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
    {"https://www.example.com/index.htm", "example_com_index.htm"},
    {"http://www.example.com/page.xml", "example_com_page.xm"},
    // Any other page: its flattened address with ".htm".
    {"http://www.example.com/", "example_com_.htm"},
    {"http://www.www.example.com/", "www_example_com_.htm"},
    {"http://www.example.com/a.shtml", "example_com_a_shtml.htm"},
    {"http://example.com/a/b.php?id=3", "example_com_a_b_php?id=3.htm"},
    {"http://localhost:8080/x", "localhost:8080_x.htm"},
    {"https://127.0.0.1:9/a/", "127_0_0_1:9_a_.htm"},
    {"http://", ".htm"},
};

TEST(LocalFileName, AddressesOfEveryKind) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.address);
    const std::string name = localFileName(c.address);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(name.find('/'), std::string::npos) << "a name must stay inside the folder";
  }
}

TEST(LocalFileName, AddressesDifferingOnlyInTheQueryShareTheirName) {
  EXPECT_EQ(localFileName("http://www.example.com/a.jpg?1"),
            localFileName("http://www.example.com/a.jpg?2"));
  EXPECT_NE(localFileName("http://www.example.com/a.php?1"),
            localFileName("http://www.example.com/a.php?2"));
}

}  // namespace
}  // namespace tarnwick
