#include "fetch/page_reader.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(BaseAddressTest, AFileNameIsCutOffUnlessItIsTheStartAddress) {
  struct Row {
    const char* address;
    const char* start;
    const char* base;
  };
  const Row rows[] = {
      {"http://h.example/a/page.html", "http://h.example/", "http://h.example/a/"},
      {"http://h.example/a/page.html", "http://h.example/a/page.html", "http://h.example/a/page.html"},
      {"http://h.example/a/", "http://h.example/", "http://h.example/a/"},
      {"http://h.example/a/folder", "http://h.example/", "http://h.example/a/folder"},
      // The host's own dot counts when there is no "/" after it.
      {"http://h.example", "http://x.example/", "http://"},
      {"http://h.example/v1.2/x", "http://x.example/", "http://h.example/v1.2/x"},
      {"http://h.example/a/?q=b.c", "http://x.example/", "http://h.example/a/"},
      {"http://h.example/a/x?q=b.c/d", "http://x.example/", "http://h.example/a/x?q=b.c/d"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(baseAddressOf(row.address, row.start), row.base) << row.address;
}

TEST(StoragePathTest, OneSlashBetweenFolderAndName) {
  EXPECT_EQ(storagePath("/dl", "http://www.h.example/a.html"), "/dl/h_example_a.htm");
  EXPECT_EQ(storagePath("/dl/", "http://www.h.example/a.html"), "/dl/h_example_a.htm");
  EXPECT_EQ(storagePath("/dl/", "http://h.example/f/pack.zip?x=1"), "/dl/pack.zip");
  // https addresses are named as http ones.
  EXPECT_EQ(storagePath("/dl", "https://h.example/"), "/dl/h_example_.htm");
  // No folder: the working folder, never the root.
  EXPECT_EQ(storagePath("", "http://h.example/"), "h_example_.htm");
}

}  // namespace
}  // namespace tarnwick
