#include "results/label_set.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

TEST(LabelSet, TellsNewTextsFromSeenOnes) {
  LabelSet set;
  const std::string a = "http://a.com/", a2 = "http://a.com/", b = "http://a.com";
  EXPECT_TRUE(set.insert(a));
  EXPECT_FALSE(set.insert(a2));  // equal bytes elsewhere in memory
  EXPECT_TRUE(set.insert(b));    // a prefix is another text
  EXPECT_TRUE(set.insert(std::string_view()));
  EXPECT_FALSE(set.insert(""));
  EXPECT_EQ(set.size(), 3u);
}

TEST(LabelSet, AgreesWithAnOrderedSetThroughManyGrowths) {
  std::mt19937 random(11);
  std::vector<std::string> texts;
  for (int i = 0; i < 100000; ++i) {
    // Few distinct lengths and shared prefixes, so sizes and tags often meet.
    std::string text = "http://host/" + std::to_string(random() % 40000);
    text.resize(16, 'x');
    texts.push_back(std::move(text));
  }
  LabelSet set;
  std::set<std::string_view> reference;
  for (const std::string& text : texts)
    ASSERT_EQ(set.insert(text), reference.insert(text).second) << text;
  EXPECT_EQ(set.size(), reference.size());
}

}  // namespace
}  // namespace tarnwick
