#include "scan/keyword_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Words = std::vector<std::string>;

TEST(SplitKeywords, WordsAndPhrases) {
  const struct {
    const char* text;
    Words expected;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"big dog", {"big", "dog"}},
      {"  big   dog  ", {"big", "dog"}},
      {"cat cat", {"cat", "cat"}},
      {R"(cat "big dog" fish)", {"cat", "big dog", "fish"}},
      {R"("Big  Dog")", {"Big  Dog"}},
      {R"(x"y z"w)", {"x", "y z", "w"}},
      {R"(a""b)", {"a", "b"}},
      {R"(" ")", {" "}},
      {R"(big "dog)", {"big", R"("dog)"}},
      {R"("big dog)", {R"("big)", "dog"}},
      {R"("a" "b" "c)", {"a", "b", R"("c)"}},
      {R"("a" "b" )", {"a", "b"}},
      {"tab\tand\nnewline", {"tab\tand\nnewline"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitKeywords(c.text), c.expected) << c.text;
}

TEST(SplitKeywords, NoBoundOnLengthOrWordCount) {
  Words words;
  std::string text;
  for (int i = 0; i < 60; ++i) {
    words.push_back("word" + std::to_string(i));
    text += words.back() + " ";
  }
  ASSERT_GT(text.size(), 300u);
  const std::string phrase(400, 'p');
  text += "\"" + phrase + "\" tail";
  words.push_back(phrase);
  words.push_back("tail");
  EXPECT_EQ(splitKeywords(text), words);
}

TEST(MakeKeywords, FoldsOnlyAToZ) {
  const std::vector<Keyword> keywords = makeKeywords({"Big Dog", "\xC4pfel", "@[Z]"});
  ASSERT_EQ(keywords.size(), 3u);
  EXPECT_EQ(keywords[0].text, "Big Dog");
  EXPECT_EQ(keywords[0].lower, "big dog");
  EXPECT_EQ(keywords[1].lower, "\xC4pfel");
  EXPECT_EQ(keywords[2].lower, "@[z]");
}

}  // namespace
}  // namespace tarnwick
