#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/page_scanner.h"

namespace tarnwick {
namespace {

struct TagCase {
  const char* name;
  std::string text;
  int start;
  int next;
  std::string value;
};

using Finder = FoundTag (*)(const ScanText&, int);

void expectCases(Finder finder, const std::vector<TagCase>& cases) {
  for (const TagCase& c : cases) {
    const ScanText text(c.text);
    const FoundTag found = finder(text, c.start);
    EXPECT_EQ(found.next, c.next) << c.name << ": " << c.text;
    EXPECT_EQ(found.value, c.value) << c.name << ": " << c.text;
  }
}

TEST(FindWebLink, FollowsTheSearchChain) {
  expectCases(findWebLink, {
      {"double quotes", R"(<a href="page.htm">x</a>)", 0, 18, "page.htm"},
      {"capitals keep the value's case", R"(<A HREF="Page.HTM">x</A>)", 0, 18, "Page.HTM"},
      {"apostrophe is the first quote after =", R"(<a class="lnk" href='p.htm' title="t">)", 0,
       37, "p.htm"},
      {"double quote first, apostrophe inside", R"(<a href="it's.htm">)", 0, 18, "it's.htm"},
      {"apostrophe first, double quote inside", R"(<a href='a"b.htm'>)", 0, 17, R"(a"b.htm)"},
      {"one space around = (s-h 9)", R"(<a href = "p.htm">)", 0, 17, "p.htm"},
      {"s-h 10", R"(<a href =  "p.htm">)", 0, 18, "p.htm"},
      {"two spaces around = (s-h 11) gives up", R"(<a href  =  "p.htm"> <a href="q.htm">)", 0,
       -1, ""},
      {"space in value: next is the closing quote", R"(<a href="my page.htm">x</a>)", 0, 20, ""},
      {"no space in value, none after", R"(x y <a href="p.htm">)", 0, 19, "p.htm"},
      {"closing quote missing before >", R"(<a href="p.htm>x</a> <b title="t">)", 0, 14, ""},
      {"closing quote missing", R"(<a href="p.htm>x</a>)", 0, -1, ""},
      {"no > after the value", R"(<a href="p.htm")", 0, -1, ""},
      {"mailto rejected at its >", R"(<a href="mailto:Joe@X.org">mail</a>)", 0, 26, ""},
      {"MAILTO rejected at its >", R"(<A HREF="MAILTO:joe@x.org">)", 0, 26, ""},
      {"a blank anywhere after <", R"(<p>a cat</p><i href="p.htm">)", 0, 27, "p.htm"},
      {"letter a without blank", R"(<p>data</p><i href="mailto:ann@site.org">)", 0, -1, ""},
      {"no <", R"(a href="p.htm")", 0, -1, ""},
      {"no anchor after <", "<b>bold</b>", 0, -1, ""},
      {"start after the last <", R"(<a href="p.htm">x)", 1, -1, ""},
      {"negative start counts as 0", R"(<a href="p.htm">)", -5, 15, "p.htm"},
      {"no =", "<a href>x</a>", 0, -1, ""},
      {"no quote", "<a href=p.htm>", 0, -1, ""},
      {"bytes above 0x7F kept", "<a href=\"caf\xC9.htm\">", 0, 18, "caf\xC9.htm"},
      {"empty text", "", 0, -1, ""},
  });
}

TEST(FindEmail, TakesMailtoTargetsOfAnyTagWithAnA) {
  expectCases(findEmail, {
      {"address keeps its case", R"(<a href="mailto:Joe@X.org">mail</a>)", 0, 26, "Joe@X.org"},
      {"MAILTO in capitals", R"(<A HREF="MAILTO:Joe@X.org">)", 0, 26, "Joe@X.org"},
      {"ordinary anchor: empty at its >", R"(<a href="page.htm">x</a>)", 0, 18, ""},
      {"query part kept", R"(<a href="mailto:x@y.z?subject=Hi">)", 0, 33, "x@y.z?subject=Hi"},
      {"space in value: next is the closing quote",
       R"(<a href="mailto:x@y.z?subject=Hi there">)", 0, 38, ""},
      {"mailto: alone", R"(<a href="mailto:">)", 0, 17, ""},
      {"any letter a after < marks the tag", R"(<p>data</p><i href="mailto:ann@site.org">)", 0,
       40, "ann@site.org"},
      {"the only a is inside the value", R"(<i href="mailto:q@r.s">)", 0, -1, ""},
      {"no > after the value", R"(<a href="mailto:x@y.z")", 0, -1, ""},
      {"s-h 11 gives up", R"(<a href  =  "mailto:x@y.z">)", 0, -1, ""},
      {"closing quote missing before >", R"(<a href="mailto:x@y.z>x <b c="d">)", 0, 21, ""},
      {"apostrophes", R"(<a href='mailto:x@y.z'>)", 0, 22, "x@y.z"},
  });
}

TEST(FindImage, TakesSourcesWithoutTheSpaceAndMailtoTests) {
  expectCases(findImage, {
      {"double quotes", R"(<img src="pic.gif">)", 0, 18, "pic.gif"},
      {"spaces kept", R"(<img alt="two words" src="my pic.gif">)", 0, 37, "my pic.gif"},
      {"capitals keep the value's case", R"(<IMG SRC="Pic.GIF">)", 0, 18, "Pic.GIF"},
      {"mailto value taken", R"(<img src="mailto:x@y.z">)", 0, 23, "mailto:x@y.z"},
      {"s-h 10", R"(<img src    ="p.gif">)", 0, 20, "p.gif"},
      {"s-h 11 gives up", R"(<img src     ="p.gif">)", 0, -1, ""},
      {"closing quote missing before >", R"(<img src="p.gif><b c="d">)", 0, 15, ""},
      {"anchor is no image", R"(<a href="p.htm">)", 0, -1, ""},
      {"img needs its blank", R"(<img/src="x.gif">)", 0, -1, ""},
  });
}

TEST(ScanNext, TagKindsMovePositionToNextAndLeaveHit) {
  const std::string html = R"(<a href="a1.htm">1</a> <a href="b2.htm">2</a>)";
  const ScanText text(html);
  int position = 0;
  int hit = 77;
  EXPECT_EQ(scanNext(text, position, 50, nullptr, ScanKind::WebLink, hit, true), "a1.htm");
  EXPECT_EQ(position, 16);
  EXPECT_EQ(scanNext(text, position, 50, nullptr, ScanKind::WebLink, hit, true), "b2.htm");
  EXPECT_EQ(position, 39);
  EXPECT_EQ(scanNext(text, position, 50, nullptr, ScanKind::WebLink, hit, true), "");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(hit, 77);
}

TEST(ScanNext, EmailWalkPassesOrdinaryAnchors) {
  const std::string html = R"(<a href="p.htm">p</a><a href="mailto:a@b.c">m</a>)";
  const ScanText text(html);
  int position = 0;
  int hit = 0;
  std::vector<std::pair<std::string, int>> steps;
  while (position >= 0) {
    const std::string_view value = scanNext(text, position, 0, nullptr, ScanKind::Email, hit, false);
    steps.emplace_back(value, position);
  }
  const std::vector<std::pair<std::string, int>> expected{{"", 15}, {"a@b.c", 43}, {"", -1}};
  EXPECT_EQ(steps, expected);
}

TEST(ScanNext, ImageKindUsesImageFinder) {
  const std::string html = R"(<a href="p.htm"><img src="i.png">)";
  const ScanText text(html);
  int position = -3;
  int hit = 0;
  EXPECT_EQ(scanNext(text, position, 0, nullptr, ScanKind::Image, hit, true), "i.png");
  EXPECT_EQ(position, 32);
}

TEST(ScanText, ResetReusesTheObjectForANewWindow) {
  ScanText text;
  EXPECT_TRUE(text.text().empty());
  EXPECT_TRUE(text.lower().empty());
  const std::string longer = "ABC def <A HREF=\"X\">\xC4\xE4";
  text.reset(longer);
  EXPECT_EQ(text.lower(), "abc def <a href=\"x\">\xC4\xE4");
  const std::string shorter = "Zz";
  text.reset(shorter);
  EXPECT_EQ(text.text(), "Zz");
  EXPECT_EQ(text.lower(), "zz");
}

}  // namespace
}  // namespace tarnwick
