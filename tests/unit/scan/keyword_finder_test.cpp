#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "scan/page_scanner.h"

namespace tarnwick {
namespace {

Keyword keywordOf(const std::string& word) { return makeKeywords({word}).front(); }

// Every (hit, snippet) that the insertion loop would see, in order.
std::vector<std::pair<int, std::string>> allHits(const std::string& window, const std::string& word,
                                                 int width, bool matchCase) {
  const ScanText text(window);
  const Keyword keyword = keywordOf(word);
  std::vector<std::pair<int, std::string>> hits;
  int position = 0;
  int hit = 0;
  for (int calls = 0; calls < 1000 && hit >= 0; ++calls) {
    const std::string_view snippet =
        scanNext(text, position, width, &keyword, ScanKind::Keyword, hit, matchCase);
    if (hit >= 0) hits.emplace_back(hit, snippet);
  }
  return hits;
}

using Hits = std::vector<std::pair<int, std::string>>;

TEST(FindKeyword, OverlappingHitsWithContext) {
  const ScanText text(std::string_view("xxabab"));
  const Keyword ab = keywordOf("ab");
  const KeywordHit first = findKeyword(text, 0, ab, 1, true);
  EXPECT_EQ(first.hit, 2);
  EXPECT_EQ(first.snippet, "xaba");
  const KeywordHit second = findKeyword(text, 3, ab, 1, true);
  EXPECT_EQ(second.hit, 4);
  EXPECT_EQ(second.snippet, "bab");
  EXPECT_EQ(findKeyword(text, 5, ab, 1, true).hit, -1);
  EXPECT_EQ(allHits("aaaa", "aa", 0, true), (Hits{{0, "aa"}, {1, "aa"}, {2, "aa"}}));
}

TEST(FindKeyword, MatchCase) {
  const std::string window = "Cat CAT cat cAt";
  EXPECT_EQ(allHits(window, "Cat", 0, false),
            (Hits{{0, "Cat"}, {4, "CAT"}, {8, "cat"}, {12, "cAt"}}));
  EXPECT_EQ(allHits(window, "Cat", 0, true), (Hits{{0, "Cat"}}));
  EXPECT_EQ(allHits(window, "cat", 1, true), (Hits{{8, " cat "}}));
}

TEST(FindKeyword, SnippetIsClippedAndKeepsControlCharacters) {
  EXPECT_EQ(allHits("key", "key", 50, true), (Hits{{0, "key"}}));
  EXPECT_EQ(allHits("a\r\nkey\tb", "KEY", 2, false), (Hits{{3, "\r\nkey\tb"}}));
  EXPECT_EQ(allHits("0123456789", "5", 3, true), (Hits{{5, "2345678"}}));
  EXPECT_EQ(allHits("two words here", "words h", 1, true), (Hits{{4, " words he"}}));
}

TEST(FindKeyword, OnlyLettersAToZAreFolded) {
  // 0xC4 and 0xE4 are one letter in two cases in Latin-1; they are not folded.
  EXPECT_EQ(allHits("\xC4rger \xE4rger", "\xE4RGER", 0, false), (Hits{{6, "\xE4rger"}}));
  EXPECT_TRUE(allHits("[Z]", "{z}", 0, false).empty());
  EXPECT_TRUE(allHits("`z", "@Z", 0, false).empty());
  EXPECT_EQ(allHits("`Z@", "`z@", 0, false), (Hits{{0, "`Z@"}}));
}

TEST(ScanNext, KeywordMovesPositionPastTheHitOnly) {
  const ScanText text(std::string_view("xxabab"));
  const Keyword ab = keywordOf("ab");
  int position = 0;
  int hit = 0;
  EXPECT_EQ(scanNext(text, position, 1, &ab, ScanKind::Keyword, hit, true), "xaba");
  EXPECT_EQ(hit, 2);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(scanNext(text, position, 1, &ab, ScanKind::Keyword, hit, true), "bab");
  EXPECT_EQ(hit, 4);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(scanNext(text, position, 1, &ab, ScanKind::Keyword, hit, true), "");
  EXPECT_EQ(hit, -1);
  EXPECT_EQ(position, 5);
}

TEST(ScanNext, KeywordKindWithoutKeywordFindsNothing) {
  const ScanText text(std::string_view("abc"));
  int position = 0;
  int hit = 0;
  EXPECT_EQ(scanNext(text, position, 1, nullptr, ScanKind::Keyword, hit, true), "");
  EXPECT_EQ(hit, -1);
  EXPECT_EQ(position, 0);
}

}  // namespace
}  // namespace tarnwick
