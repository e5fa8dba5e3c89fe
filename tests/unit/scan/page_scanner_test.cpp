#include "scan/page_scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "scan/ascii_case.h"
#include "scan/keyword_list.h"

namespace tarnwick {
namespace {

using Finder = FoundTag (*)(const ScanText&, int);
constexpr Finder W = findWebLink, E = findEmail, I = findImage;

struct TagCase {
  Finder finder;
  const char* text;
  int start, next;
  const char* value;
};

constexpr TagCase kTagCases[] = {
    {W, R"(<a href="page.htm">x</a>)", -5, 18, "page.htm"},
    {W, "<A HREF=\"Page\xC9.HTM\">x</A>", 0, 19, "Page\xC9.HTM"},
    // The opening quote is the first of either kind after the "=".
    {W, R"(<a class="lnk" href='p.htm' title="t">)", 0, 37, "p.htm"},
    {W, R"(<a href='a"b.htm'>)", 0, 17, R"(a"b.htm)"},
    {W, R"(<a href= "p.htm" title='t'>)", 0, 26, "p.htm"},
    // The quote opens at most 10 after " href" (s - h 9, 10, 11); beyond, the window is given up.
    {W, R"(<a href = "p.htm">)", 0, 17, "p.htm"},
    {W, R"(<a href =  "p.htm">)", 0, 18, "p.htm"},
    {W, R"(<a href  =  "p.htm"> <a href="q.htm">)", 0, -1, ""},
    // Rejected: a space in the value (next = closing quote), a ">" before the
    // closing quote (next = that ">"), "mailto:" (next = the ">").
    {W, R"(<a href="my page.htm">x</a>)", 0, 20, ""},
    {W, R"(x y <a href="p.htm">)", 0, 19, "p.htm"},
    {W, R"(<a href="p.htm>x</a> <b title="t">)", 0, 14, ""},
    {W, R"(<a href="MAILTO:Joe@X.org">mail</a>)", 0, 26, ""},
    // "a " anywhere after the "<" marks an anchor.
    {W, R"(<p>a cat</p><i href="p.htm">)", 0, 27, "p.htm"},
    {W, R"(<p>data</p><i href="mailto:ann@site.org">)", 0, -1, ""},
    // A step that finds nothing ends the window.
    {W, R"(<a href="p.htm">x)", 1, -1, ""},
    {W, R"(<a href="p.htm>x</a>)", 0, -1, ""},
    // E-mails: any letter "a" after the "<" marks the tag.
    {E, R"(<a href="mailto:Joe@X.org">mail</a>)", 0, 26, "Joe@X.org"},
    {E, R"(<A HREF="MAILTO:Joe@X.org">)", 0, 26, "Joe@X.org"},
    {E, R"(<a href="page.htm">x</a>)", 0, 18, ""},
    {E, R"(<a href="mailto:x@y.z?subject=Hi">)", 0, 33, "x@y.z?subject=Hi"},
    {E, R"(<a href="mailto:x@y.z?subject=Hi there">)", 0, 38, ""},
    {E, R"(<p>data</p><i href="mailto:ann@site.org">)", 0, 40, "ann@site.org"},
    {E, R"(<i href="mailto:q@r.s">)", 0, -1, ""},
    // Images: no space or "mailto:" test; " src" is one shorter than " href".
    {I, R"(<img src="pic.gif">)", 0, 18, "pic.gif"},
    {I, R"(<IMG alt="two words" SRC="My pic.GIF">)", 0, 37, "My pic.GIF"},
    {I, R"(<img src="mailto:x@y.z">)", 0, 23, "mailto:x@y.z"},
    {I, R"(<img src    ="p.gif">)", 0, 20, "p.gif"},
    {I, R"(<img src     ="p.gif">)", 0, -1, ""},
    {I, R"(<img/src="x.gif">)", 0, -1, ""},
};

TEST(TagFinders, FollowTheSearchChain) {
  for (const TagCase& c : kTagCases) {
    const ScanText text{std::string_view(c.text)};
    const FoundTag found = c.finder(text, c.start);
    EXPECT_EQ(found.next, c.next) << c.text;
    EXPECT_EQ(found.value, c.value) << c.text;
  }
}

using Words = std::vector<std::string>;

TEST(SplitKeywords, WordsAndPhrases) {
  const std::pair<const char*, Words> cases[] = {
      {"", {}}, {"   ", {}}, {"  cat   cat  ", {"cat", "cat"}},
      {R"(cat "big dog" fish)", {"cat", "big dog", "fish"}}, {R"("Big  Dog")", {"Big  Dog"}},
      {R"(x"y z"w)", {"x", "y z", "w"}}, {R"(a""b)", {"a", "b"}}, {R"(" ")", {" "}},
      {R"(big "dog)", {"big", R"("dog)"}}, {R"("big dog)", {R"("big)", "dog"}},
      {R"("a" "b" "c)", {"a", "b", R"("c)"}}, {"tab\tand\nnewline", {"tab\tand\nnewline"}}};
  for (const auto& [text, words] : cases) EXPECT_EQ(splitKeywords(text), words) << text;
}

TEST(SplitKeywords, NoBoundOnLengthOrWordCount) {
  Words words;
  std::string text;
  for (int i = 0; i < 60; ++i) text += words.emplace_back("word" + std::to_string(i)) + " ";
  const std::string phrase(400, 'p');
  text += "\"" + phrase + "\" tail";
  words.insert(words.end(), {phrase, "tail"});
  EXPECT_EQ(splitKeywords(text), words);
}

// Every (hit, snippet) the insertion loop sees, calling scanNext from 0 until
// no hit; the position moves to hit + 1 after a hit and stays after a miss.
using Hits = std::vector<std::pair<int, std::string>>;
Hits allHits(std::string_view window, const char* word, int width, bool matchCase) {
  const ScanText text(window);
  const std::vector<Keyword> keyword = makeKeywords({word ? word : ""});
  Hits hits;
  for (int position = 0, from = 0, hit = 0; hits.size() < 10; from = position) {
    const std::string_view snippet = scanNext(text, position, width, word ? &keyword[0] : nullptr,
                                              ScanKind::Keyword, hit, matchCase);
    EXPECT_EQ(position, hit < 0 ? from : hit + 1);
    if (hit < 0) return hits;
    hits.emplace_back(hit, snippet);
  }
  return hits;
}

TEST(FindKeyword, HitsWithContext) {
  const struct {
    const char *window, *word;
    int width;
    bool matchCase;
    Hits hits;
  } cases[] = {
      {"xxabab", "ab", 1, true, {{2, "xaba"}, {4, "bab"}}},
      {"aaaa", "aa", 0, true, {{0, "aa"}, {1, "aa"}, {2, "aa"}}},
      {"Cat CAT cat cAt", "Cat", 0, false, {{0, "Cat"}, {4, "CAT"}, {8, "cat"}, {12, "cAt"}}},
      {"Cat CAT cat cAt", "Cat", 0, true, {{0, "Cat"}}},
      {"Cat CAT cat cAt", "cat", 1, true, {{8, " cat "}}},
      {"key", "key", 50, true, {{0, "key"}}},
      {"a\r\nkey\tb", "KEY", 2, false, {{3, "\r\nkey\tb"}}},
      {"two words here", "words h", 1, true, {{4, " words he"}}},
      {"abc", nullptr, 1, true, {}},  // scanNext without a keyword
      // Only A-Z fold: Latin-1 letters and the neighbours of A-Z and a-z stay.
      {"\xC4rger \xE4rger", "\xE4RGER", 0, false, {{6, "\xE4rger"}}},
      {"[Z", "{z", 0, false, {}}, {"`z", "@Z", 0, false, {}},
      {"`Z@", "`z@", 0, false, {{0, "`Z@"}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(allHits(c.window, c.word, c.width, c.matchCase), c.hits) << c.window;
}

enum Model { WebLink, Email, Image };

int findIn(const std::string& in, const std::string& what, int from) {
  return from < 0 ? -1 : static_cast<int>(in.find(what, static_cast<std::size_t>(from)));
}

// The tag finders' chains written step by step with std::string::find.
std::pair<int, std::string> modelFinder(Model model, const std::string& text,
                                        const std::string& lower, int start) {
  const auto find = [&](const std::string& what, int from) { return findIn(lower, what, from); };
  const char* const marks[] = {"a ", "a", "img "};
  const int h =
      find(model == Image ? " src" : " href", find(marks[model], find("<", std::max(start, 0))));
  const int equals = find("=", h);
  const int dq = find("\"", equals), ap = find("'", equals);
  if (dq < 0 && ap < 0) return {-1, ""};
  const int s = (dq < 0 ? ap : ap < 0 ? dq : std::min(dq, ap)) + 1;
  const int e = find(std::string(1, lower[s - 1]), s);
  if (e < 0 || s - h > 10) return {-1, ""};
  const int gt = find(">", s);
  if (gt < e) return {gt, ""};
  const std::string value = lower.substr(s, e - s);
  if (model != Image && value.find(' ') != std::string::npos) return {e, ""};
  const int t = find(">", e);
  const bool mailto = value.rfind("mailto:", 0) == 0;
  if (model == WebLink && mailto) return {t, ""};
  if (t < 0) return {-1, ""};
  if (model == Email) return {t, mailto ? text.substr(s + 7, e - s - 7) : ""};
  return {t, text.substr(s, e - s)};
}

// Random tag soup through scanNext; keywords of one to three pieces check the
// plain searches. One ScanText serves every text, as in the inserter.
TEST(TagFinders, AgreeWithTheStepByStepChain) {
  const char* const pieces[] = {
      "<",  ">", "a ", "A", "img ", "IMG ", " href",   " HREF",   " src",  " SRC",  "=",  " = ",
      "\"", "'", " ",  "x", "xy",   "xx",   "mailto:", "MailTo:", "p.htm", "a@b.c", "  ", "<p>"};
  std::mt19937 rng(5);
  ScanText scan;
  for (int round = 0; round < 20000; ++round) {
    std::string text, word;
    for (int i = rng() % 40; i > 0; --i) text += pieces[rng() % std::size(pieces)];
    for (int i = 1 + rng() % 3; i > 0; --i) word += pieces[rng() % std::size(pieces)];
    scan.reset(text);
    const Keyword keyword = makeKeywords({word}).front();
    const std::string lower = lowerAsciiCopy(text);
    for (int start = -1, hit = 77; start <= static_cast<int>(text.size()); ++start) {
      const auto at = [&] { return "[" + text + "] [" + word + "] " + std::to_string(start); };
      for (const Model model : {WebLink, Email, Image}) {
        const auto [next, value] = modelFinder(model, text, lower, start);
        int position = start;
        const auto kind = static_cast<ScanKind>(model + 1);
        ASSERT_EQ(scanNext(scan, position, 0, &keyword, kind, hit, true), value) << at() << model;
        ASSERT_EQ(position, next) << at() << model;
      }
      ASSERT_EQ(hit, 77) << at();
      const int from = std::max(start, 0);
      ASSERT_EQ(findKeyword(scan, start, keyword, 0, true).hit, findIn(text, word, from)) << at();
      ASSERT_EQ(findKeyword(scan, start, keyword, 0, false).hit, findIn(lower, keyword.lower, from))
          << at();
    }
  }
}

}  // namespace
}  // namespace tarnwick
