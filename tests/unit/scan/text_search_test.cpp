#include "scan/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tarnwick::text_search {
namespace {

int reference(std::string_view text, std::string_view needle, int from) {
  const std::size_t at = text.find(needle, static_cast<std::size_t>(from));
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// Lengths around the 16-byte blocks and a small alphabet, so that matches,
// near-matches and text ends fall on every block position.
TEST(TextSearch, AgreesWithStringViewFind) {
  std::mt19937 rng(11);
  const std::string alphabet = "ab <>\"' ";
  for (int round = 0; round < 3000; ++round) {
    std::string text(rng() % 70, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    std::string needle(1 + rng() % 5, ' ');
    for (char& c : needle) c = alphabet[rng() % alphabet.size()];
    if (round % 7 == 0 && text.size() > needle.size()) {
      text.replace(rng() % (text.size() - needle.size()), needle.size(), needle);
    }
    for (int from = 0; from <= static_cast<int>(text.size()) + 1; ++from) {
      ASSERT_EQ(findString(text, needle, from), reference(text, needle, from))
          << "text [" << text << "] needle [" << needle << "] from " << from;
      ASSERT_EQ(findChar(text, needle[0], from), reference(text, needle.substr(0, 1), from))
          << "text [" << text << "] char " << needle[0] << " from " << from;
      const int to = from + static_cast<int>(rng() % 20);
      if (to <= static_cast<int>(text.size())) {
        const int found = reference(text, needle.substr(0, 1), from);
        ASSERT_EQ(findCharBefore(text, needle[0], from, to), found < to ? found : -1)
            << "text [" << text << "] char " << needle[0] << " in [" << from << ", " << to << ")";
      }
    }
  }
}

TEST(TextSearch, EdgeArguments) {
  EXPECT_EQ(findString("abc", "", 3), 3);
  EXPECT_EQ(findString("abc", "", 4), -1);
  EXPECT_EQ(findString("abc", "bc", -2), 1);
  EXPECT_EQ(findString("abc", "abcd", 0), -1);
  EXPECT_EQ(findChar("", 'a', 0), -1);
  EXPECT_EQ(findChar("abc", 'a', -1), 0);
  EXPECT_EQ(findCharBefore("abc", 'c', 0, 2), -1);
}

TEST(TextSearch, QuotedStretchReportsCloseAndSpaceBeforeTheQuote) {
  const std::string text = std::string(20, 'x') + "a b>c\"d >e \"";
  const QuotedStretch stretch = scanQuoted(text, '"', 20);
  EXPECT_EQ(stretch.end, 25);
  EXPECT_EQ(stretch.firstClose, 23);
  EXPECT_EQ(stretch.firstSpace, 21);
  const QuotedStretch clean = scanQuoted(text, '"', 26);
  EXPECT_EQ(clean.end, 31);
  EXPECT_EQ(clean.firstClose, 28);
  EXPECT_EQ(clean.firstSpace, 27);
  EXPECT_EQ(scanQuoted("abc", '\'', 0).end, -1);
  const std::string long_value = "x" + std::string(40, 'v') + "'";
  const QuotedStretch far = scanQuoted(long_value, '\'', 1);
  EXPECT_EQ(far.end, 41);
  EXPECT_EQ(far.firstClose, -1);
  EXPECT_EQ(far.firstSpace, -1);
}

}  // namespace
}  // namespace tarnwick::text_search
