#include "scan/page_scanner.h"

#include <algorithm>
#include <cstdint>

#include "scan/text_search.h"

namespace tarnwick {

namespace {
using text_search::findChar;
using text_search::findCharBefore;
using text_search::findString;

constexpr std::string_view kMailto = "mailto:";
// Farthest the value's first character may lie from the attribute name's
// leading space (written tight, ' href="' gives 7 and ' src="' 6).
constexpr int kMaxValueDistance = 10;

// What marks a tag and its attribute, both matched on the lower-case copy.
struct TagRule {
  std::string_view mark;
  std::string_view attribute;
};
constexpr TagRule kAnchor{"a ", " href"};
constexpr TagRule kAnyTagWithA{"a", " href"};
constexpr TagRule kImage{"img ", " src"};

// A quoted value: its first character s, its closing quote e, the ">" that
// closes the tag and whether a space lies between the quotes.
struct QuotedValue {
  int s;
  int e;
  int close;
  bool holdsSpace;
};

bool isQuote(char c) { return c == '"' || c == '\''; }

// The first `c` at or after `from`, looking at `from` itself first: in most
// tags the "=" and the quote follow at once.
int charAtOrFind(std::string_view lower, char c, int from) {
  if (from < static_cast<int>(lower.size()) && lower[from] == c) return from;
  return findChar(lower, c, from);
}

// The first quote of either kind at or after `from`.
int openingQuote(std::string_view lower, int from) {
  if (from < static_cast<int>(lower.size()) && isQuote(lower[from])) return from;
  const int doubleQuote = findChar(lower, '"', from);
  const int end = doubleQuote < 0 ? static_cast<int>(lower.size()) : doubleQuote;
  const int apostrophe = findCharBefore(lower, '\'', from, end);
  return apostrophe >= 0 ? apostrophe : doubleQuote;
}

// Runs the chain common to the tag finders up to the ">" test. Returns false
// with `next` set when the chain gives up or rejects the tag before its value
// is looked at.
bool locateValue(std::string_view lower, int start, const TagRule& rule, QuotedValue& value,
                 int& next) {
  next = -1;
  const int open = findChar(lower, '<', start);
  if (open < 0) return false;
  const int mark = findString(lower, rule.mark, open);
  if (mark < 0) return false;
  const int h = findString(lower, rule.attribute, mark);
  if (h < 0) return false;
  // The attribute name holds no "=" and the "=" no quote.
  const int equals = charAtOrFind(lower, '=', h + static_cast<int>(rule.attribute.size()));
  if (equals < 0) return false;
  const int quote = openingQuote(lower, equals + 1);
  if (quote < 0) return false;
  const int s = quote + 1;
  // Both a missing closing quote and a far value end the chain with -1, so
  // the distance can be judged before the value is scanned.
  if (s - h > kMaxValueDistance) return false;
  const text_search::QuotedStretch stretch = text_search::scanQuoted(lower, lower[quote], s);
  if (stretch.end < 0) return false;
  if (stretch.firstClose >= 0) {  // the tag closes before the value does
    next = stretch.firstClose;
    return false;
  }
  const int close = charAtOrFind(lower, '>', stretch.end + 1);
  if (close < 0) return false;
  value = {s, stretch.end, close, stretch.firstSpace >= 0};
  return true;
}

bool beginsWithMailto(std::string_view lower, const QuotedValue& value) {
  return lower.substr(value.s, value.e - value.s).starts_with(kMailto);
}

std::string_view slice(std::string_view text, int from, int to) {
  return text.substr(from, to - from);
}
}  // namespace

FoundTag findWebLink(const ScanText& text, int start) {
  const std::string_view lower = text.lower();
  QuotedValue value;
  int next;
  if (!locateValue(lower, start, kAnchor, value, next)) return {next, {}};
  if (value.holdsSpace) return {value.e, {}};
  if (beginsWithMailto(lower, value)) return {value.close, {}};
  return {value.close, slice(text.text(), value.s, value.e)};
}

FoundTag findEmail(const ScanText& text, int start) {
  const std::string_view lower = text.lower();
  QuotedValue value;
  int next;
  if (!locateValue(lower, start, kAnyTagWithA, value, next)) return {next, {}};
  if (value.holdsSpace) return {value.e, {}};
  if (!beginsWithMailto(lower, value)) return {value.close, {}};
  const int address = value.s + static_cast<int>(kMailto.size());
  return {value.close, slice(text.text(), address, value.e)};
}

FoundTag findImage(const ScanText& text, int start) {
  QuotedValue value;
  int next;
  if (!locateValue(text.lower(), start, kImage, value, next)) return {next, {}};
  return {value.close, slice(text.text(), value.s, value.e)};
}

KeywordHit findKeyword(const ScanText& text, int start, const Keyword& keyword, int width,
                       bool matchCase) {
  const std::string_view haystack = matchCase ? text.text() : text.lower();
  const std::string_view needle = matchCase ? keyword.text : keyword.lower;
  const int hit = findString(haystack, needle, start);
  if (hit < 0) return {-1, {}};
  const std::int64_t context = std::max(width, 0);
  const std::int64_t from = std::max<std::int64_t>(hit - context, 0);
  const std::int64_t to = std::min<std::int64_t>(
      hit + static_cast<std::int64_t>(needle.size()) + context,
      static_cast<std::int64_t>(haystack.size()));
  return {hit, text.text().substr(static_cast<std::size_t>(from),
                                  static_cast<std::size_t>(to - from))};
}

std::string_view scanNext(const ScanText& text, int& position, int width, const Keyword* keyword,
                          ScanKind kind, int& hit, bool matchCase) {
  FoundTag found{position, {}};
  switch (kind) {
    case ScanKind::Keyword: {
      if (!keyword) {
        hit = -1;
        return {};
      }
      const KeywordHit k = findKeyword(text, position, *keyword, width, matchCase);
      hit = k.hit;
      if (k.hit >= 0) position = k.hit + 1;
      return k.snippet;
    }
    case ScanKind::WebLink:
      found = findWebLink(text, position);
      break;
    case ScanKind::Email:
      found = findEmail(text, position);
      break;
    case ScanKind::Image:
      found = findImage(text, position);
      break;
  }
  position = found.next;
  return found.value;
}

}  // namespace tarnwick
