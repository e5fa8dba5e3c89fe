#include "scan/text_window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "scan/page_scanner.h"

namespace tarnwick {
namespace {

using Windows = std::vector<std::pair<std::int64_t, std::size_t>>;  // start, length

// Reads a source of the given chunk sizes; every window must be the source at its start.
Windows readInChunks(const std::vector<std::size_t>& chunks, std::size_t overlap) {
  std::string source;
  for (std::size_t size : chunks)
    for (std::size_t i = 0; i < size; ++i) source += static_cast<char>('!' + source.size() % 90);
  TextWindowReader reader(overlap);
  Windows windows;
  std::size_t at = 0;
  for (std::size_t size : chunks) {
    const TextWindow& window = reader.next(std::string_view(source).substr(at, size));
    at += size;
    EXPECT_EQ(reader.bytesRead(), static_cast<std::int64_t>(at));
    EXPECT_EQ(window.text, source.substr(window.windowStart, window.text.size()));
    windows.emplace_back(window.windowStart, window.text.size());
  }
  return windows;
}

TEST(TextWindowReader, WindowsRepeatTheOverlap) {
  EXPECT_EQ(readInChunks({1024, 1024, 952}, 50), (Windows{{0, 1024}, {974, 1074}, {1998, 1002}}));
  EXPECT_EQ(readInChunks({1024, 1024, 952}, 100), (Windows{{0, 1024}, {924, 1124}, {1948, 1052}}));
  EXPECT_EQ(readInChunks({1024, 1024, 952}, 0), (Windows{{0, 1024}, {1024, 1024}, {2048, 952}}));
  // A first chunk shorter than the overlap is kept whole.
  EXPECT_EQ(readInChunks({30, 1024, 1024}, 50), (Windows{{0, 30}, {0, 1054}, {1004, 1074}}));
}

TEST(TextWindowReader, NulBytesBecomeSpacesOtherBytesStay) {
  TextWindowReader reader(4);
  EXPECT_EQ(reader.next(std::string("ab\0\0c\xFF\x80\0", 8)).text, "ab  c\xFF\x80 ");
  const TextWindow& window = reader.next(std::string("\0z", 2));
  EXPECT_EQ(window.text, "c\xFF\x80  z");
  EXPECT_EQ(window.windowStart, 4);
}

TEST(TextWindowReader, KeywordInTheRepeatedPartHasOneSourcePosition) {
  std::string source(2000, '.');
  source.replace(1000, 4, "pin!");    // wholly inside the repeated part
  source.replace(1020, 6, "needle");  // straddles the border, starts inside the overlap
  TextWindowReader reader(50);
  std::vector<std::int64_t> found;
  for (std::size_t at = 0; at < source.size(); at += 1024) {
    const TextWindow& window = reader.next(std::string_view(source).substr(at, 1024));
    const ScanText text(window.text);
    for (const Keyword& word : makeKeywords({"pin", "needle"}))
      if (const int hit = findKeyword(text, 0, word, 3, true).hit; hit >= 0)
        found.push_back(window.windowStart + hit);
  }
  EXPECT_EQ(found, (std::vector<std::int64_t>{1000, 1000, 1020}));
}

}  // namespace
}  // namespace tarnwick
