#include "scan/text_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/page_scanner.h"

namespace tarnwick {
namespace {

// A source whose every window content can be checked against it.
std::string makeSource(std::size_t size) {
  std::string source;
  for (std::size_t i = 0; i < size; ++i) source += static_cast<char>('!' + i * 7 % 90);
  return source;
}

struct Window {
  std::int64_t start;
  std::size_t length;
};

std::vector<Window> readInChunks(const std::string& source, const std::vector<std::size_t>& chunks,
                                 std::size_t overlap) {
  TextWindowReader reader(overlap);
  std::vector<Window> windows;
  std::size_t at = 0;
  for (std::size_t size : chunks) {
    const TextWindow& window = reader.next(std::string_view(source).substr(at, size));
    at += size;
    EXPECT_EQ(reader.bytesRead(), static_cast<std::int64_t>(at));
    EXPECT_EQ(window.text, source.substr(window.windowStart, window.text.size()))
        << "window at " << window.windowStart << " is not the source there";
    windows.push_back({window.windowStart, window.text.size()});
  }
  return windows;
}

bool operator==(const Window& a, const Window& b) {
  return a.start == b.start && a.length == b.length;
}
void PrintTo(const Window& w, std::ostream* os) { *os << "{" << w.start << ", " << w.length << "}"; }

TEST(TextWindowReader, WindowsRepeatTheOverlap) {
  const std::string source = makeSource(3000);
  EXPECT_EQ(readInChunks(source, {1024, 1024, 952}, 50),
            (std::vector<Window>{{0, 1024}, {974, 1074}, {1998, 1002}}));
  EXPECT_EQ(readInChunks(source, {1024, 1024, 952}, 100),
            (std::vector<Window>{{0, 1024}, {924, 1124}, {1948, 1052}}));
  EXPECT_EQ(readInChunks(source, {1024, 1024, 952}, 0),
            (std::vector<Window>{{0, 1024}, {1024, 1024}, {2048, 952}}));
}

TEST(TextWindowReader, ShortFirstChunkIsKeptWhole) {
  const std::string source = makeSource(30 + 1024 + 1024);
  EXPECT_EQ(readInChunks(source, {30, 1024, 1024}, 50),
            (std::vector<Window>{{0, 30}, {0, 1054}, {1004, 1074}}));
}

TEST(TextWindowReader, NulBytesBecomeSpacesOtherBytesStay) {
  TextWindowReader reader(4);
  const std::string first("ab\0\0c\xFF\x80\0", 8);
  EXPECT_EQ(reader.next(first).text, std::string("ab  c\xFF\x80 "));
  const std::string second("\0z", 2);
  const TextWindow& window = reader.next(second);
  EXPECT_EQ(window.text, "c\xFF\x80  z");
  EXPECT_EQ(window.windowStart, 4);
}

TEST(TextWindowReader, SteadyStateReusesItsBuffer) {
  const std::string source = makeSource(1024);
  TextWindowReader reader(100);
  reader.next(source);
  const char* buffer = reader.next(source).text.data();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(reader.next(source).text.data(), buffer);
  EXPECT_EQ(reader.bytesRead(), 102 * 1024);
}

TEST(TextWindowReader, KeywordInTheRepeatedPartHasOneSourcePosition) {
  // "needle" straddles the first chunk border and starts inside the overlap.
  std::string source(2000, '.');
  source.replace(1020, 6, "needle");
  source.replace(1000, 4, "pin!");  // wholly inside the repeated part
  TextWindowReader reader(50);
  const Keyword needle = makeKeywords({"needle"}).front();
  const Keyword pin = makeKeywords({"pin"}).front();
  std::vector<std::int64_t> needleAt, pinAt;
  for (std::size_t at = 0; at < source.size(); at += 1024) {
    const TextWindow& window = reader.next(std::string_view(source).substr(at, 1024));
    const ScanText text(window.text);
    const KeywordHit n = findKeyword(text, 0, needle, 3, true);
    if (n.hit >= 0) needleAt.push_back(window.windowStart + n.hit);
    const KeywordHit p = findKeyword(text, 0, pin, 3, true);
    if (p.hit >= 0) pinAt.push_back(window.windowStart + p.hit);
  }
  EXPECT_EQ(needleAt, (std::vector<std::int64_t>{1020}));
  EXPECT_EQ(pinAt, (std::vector<std::int64_t>{1000, 1000}));
}

}  // namespace
}  // namespace tarnwick
