// The four finders, scanNext and the searches beneath them on arbitrary
// windows, each checked against a plain std::string_view version of the
// chain its contract describes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "scan/page_scanner.h"
#include "scan/text_search.h"

using namespace tarnwick;
using tarnwick::fuzz::viewsInto;

namespace {

constexpr auto npos = std::string_view::npos;

int pos(std::size_t found) { return found == npos ? -1 : static_cast<int>(found); }

std::string lowerCopy(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

struct Expected {
  int next;
  int valueFrom = 0;  // in the window; the value is empty when valueTo == valueFrom
  int valueTo = 0;
};

enum class Finder { WebLink, Email, Image };

// The chain as the finders' contracts state it, one library search per step.
Expected referenceFind(std::string_view lower, int start, Finder finder) {
  const std::size_t from = static_cast<std::size_t>(std::max(start, 0));
  const std::string_view mark = finder == Finder::Image ? "img " : finder == Finder::Email ? "a" : "a ";
  const std::string_view attribute = finder == Finder::Image ? " src" : " href";
  const std::size_t open = lower.find('<', from);
  if (open == npos) return {-1};
  const std::size_t m = lower.find(mark, open);
  if (m == npos) return {-1};
  const std::size_t h = lower.find(attribute, m);
  if (h == npos) return {-1};
  const std::size_t equals = lower.find('=', h + attribute.size());
  if (equals == npos) return {-1};
  const std::size_t quote = lower.find_first_of("\"'", equals + 1);
  if (quote == npos) return {-1};
  const std::size_t s = quote + 1;
  if (s - h > 10) return {-1};
  const std::size_t e = lower.find(lower[quote], s);
  if (e == npos) return {-1};
  const std::size_t firstClose = lower.find('>', s);
  if (firstClose < e) return {pos(firstClose)};
  const std::size_t close = lower.find('>', e + 1);
  if (close == npos) return {-1};
  const std::string_view value = lower.substr(s, e - s);
  const bool mailto = value.starts_with("mailto:");
  const int si = static_cast<int>(s), ei = static_cast<int>(e), ci = static_cast<int>(close);
  if (finder == Finder::Image) return {ci, si, ei};
  if (value.find(' ') != npos) return {ei};
  if (finder == Finder::WebLink) return mailto ? Expected{ci} : Expected{ci, si, ei};
  return mailto ? Expected{ci, si + 7, ei} : Expected{ci};
}

void checkFound(const ScanText& text, int start, Finder finder, const FoundTag& found) {
  const Expected expected = referenceFind(text.lower(), start, finder);
  FUZZ_CHECK(found.next == expected.next);
  FUZZ_CHECK(viewsInto(found.value, text.text()));
  const std::string_view wanted =
      text.text().substr(static_cast<std::size_t>(expected.valueFrom),
                         static_cast<std::size_t>(expected.valueTo - expected.valueFrom));
  FUZZ_CHECK(found.value == wanted);
  if (!found.value.empty()) FUZZ_CHECK(found.value.data() == wanted.data());
  // Every further search starts behind this one, so a scan loop ends.
  FUZZ_CHECK(found.next == -1 || found.next > std::max(start, 0));
}

void checkSearches(std::string_view text, std::string_view needle, int from, int to) {
  using namespace text_search;
  const int size = static_cast<int>(text.size());
  const std::size_t start = static_cast<std::size_t>(std::max(from, 0));
  FUZZ_CHECK(findString(text, needle, from) ==
             (start > text.size() ? -1 : pos(text.find(needle, start))));
  if (!needle.empty()) {
    const char c = needle[0];
    FUZZ_CHECK(findChar(text, c, from) == pos(text.find(c, start)));
    const int end = std::clamp(to, 0, size);
    const std::size_t found = text.find(c, start);
    FUZZ_CHECK(findCharBefore(text, c, from, end) ==
               (found != npos && found < static_cast<std::size_t>(end) ? pos(found) : -1));
    const QuotedStretch stretch = scanQuoted(text, c, from);
    const std::size_t quote = text.find(c, start);
    const std::size_t limit = quote == npos ? text.size() : quote;
    const auto before = [&](char wanted) {
      const std::size_t at = wanted == c ? npos : text.find(wanted, start);
      return at < limit ? pos(at) : -1;
    };
    FUZZ_CHECK(stretch.end == pos(quote));
    FUZZ_CHECK(stretch.firstClose == before('>'));
    FUZZ_CHECK(stretch.firstSpace == before(' '));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string keywordText = input.ConsumeRandomLengthString(24);
  const int width = input.ConsumeIntegralInRange<int>(-5, 200);
  const bool matchCase = input.ConsumeBool();
  const int to = input.ConsumeIntegral<std::uint16_t>();
  const int firstStart = input.ConsumeIntegralInRange<int>(-3, 64);
  const std::string window = input.ConsumeRemainingBytesAsString();
  const ScanText text(window);
  const std::string lower = lowerCopy(window);
  FUZZ_CHECK(text.lower() == lower);

  checkSearches(window, keywordText, firstStart, to);
  checkSearches(lower, lowerCopy(keywordText), firstStart + 1, to / 2);

  // Each finder from the given start, then as the inserter loops with scanNext.
  const struct {
    Finder finder;
    ScanKind kind;
    FoundTag (*find)(const ScanText&, int);
  } finders[] = {{Finder::WebLink, ScanKind::WebLink, findWebLink},
                 {Finder::Email, ScanKind::Email, findEmail},
                 {Finder::Image, ScanKind::Image, findImage}};
  for (const auto& f : finders) {
    checkFound(text, firstStart, f.finder, f.find(text, firstStart));
    int position = firstStart;
    int hit = 12345;
    for (int call = 0; call < 1000 && position >= 0; ++call) {
      const int start = position;
      const std::string_view value = scanNext(text, position, width, nullptr, f.kind, hit, matchCase);
      FUZZ_CHECK(hit == 12345);  // untouched for the tag kinds
      const FoundTag direct = f.find(text, start);
      FUZZ_CHECK(position == direct.next);
      FUZZ_CHECK(value.data() == direct.value.data() && value.size() == direct.value.size());
      checkFound(text, start, f.finder, direct);
    }
  }

  const Keyword keyword{keywordText, lowerCopy(keywordText)};
  const std::string_view haystack = matchCase ? std::string_view(window) : std::string_view(lower);
  const std::string_view needle = matchCase ? keyword.text : keyword.lower;
  int position = firstStart;
  int hit = 0;
  for (int call = 0; call < 1000; ++call) {
    const int start = position;
    const std::string_view snippet =
        scanNext(text, position, width, &keyword, ScanKind::Keyword, hit, matchCase);
    const std::size_t from = static_cast<std::size_t>(std::max(start, 0));
    const int expected = from > haystack.size() ? -1 : pos(haystack.find(needle, from));
    FUZZ_CHECK(hit == expected);
    if (hit < 0) {
      FUZZ_CHECK(snippet.empty() && position == start);
      break;
    }
    FUZZ_CHECK(position == hit + 1);
    FUZZ_CHECK(viewsInto(snippet, text.text()));
    const std::size_t context = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t first = static_cast<std::size_t>(hit) > context ? hit - context : 0;
    const std::size_t last = std::min(hit + needle.size() + context, window.size());
    FUZZ_CHECK(snippet.data() == window.data() + first && snippet.size() == last - first);
  }
  int unused = 0;
  FUZZ_CHECK(scanNext(text, position, width, nullptr, ScanKind::Keyword, unused, matchCase).empty());
  FUZZ_CHECK(unused == -1);
  return 0;
}
