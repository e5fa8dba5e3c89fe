#pragma once

#include <string_view>

#include "scan/keyword_list.h"
#include "scan/scan_text.h"

namespace tarnwick {

// Plain text searching on one window, no markup parsing: each finder is a
// fixed chain of "next occurrence at or after" searches on the lower-case
// copy, and where the chain reaches into neighbouring tags, the result is
// what the chain gives.

// The selector of scanNext.
enum class ScanKind { Keyword = 0, WebLink = 1, Email = 2, Image = 3 };

// What a tag finder returns. next: where the following search starts, -1 when
// no further tag can be found. value: views into the window text, in its own
// letter case; empty when the tag at hand was rejected (or next is -1).
struct FoundTag {
  int next;
  std::string_view value;
};

// The target of an anchor: "<", then "a " anywhere after it, " href", "=",
// the first quote of either kind; the value lies between that quote and the
// next one of the same kind. Gives up (next -1) when a step finds nothing, when
// the quote opens more than 10 characters after " href", or when a closing
// quote is missing. Rejects (empty value) a tag whose ">" comes before the
// closing quote (next = that ">"), a value holding a space (next = closing
// quote) and a "mailto:" value (next = the ">"). Otherwise next = the ">"
// after the value. A negative start counts as 0.
FoundTag findWebLink(const ScanText& text, int start);

// The address of a "mailto:" anchor, without "mailto:", up to the closing
// quote. Same chain as findWebLink except that any letter "a" after the "<"
// marks the tag; an ordinary (non-mailto) value is rejected with next = ">".
FoundTag findEmail(const ScanText& text, int start);

// The source of an image: the chain of findWebLink with "img " and " src";
// values with spaces or a "mailto:" prefix are taken as they are.
FoundTag findImage(const ScanText& text, int start);

// hit: the first occurrence of the keyword at or after start, -1 when none.
// snippet: the window text from hit - width to hit + keyword length + width,
// clipped to the window. With matchCase false, keyword.lower is looked up in
// the lower-case copy.
struct KeywordHit {
  int hit;
  std::string_view snippet;
};
KeywordHit findKeyword(const ScanText& text, int start, const Keyword& keyword, int width,
                       bool matchCase);

// The single entry point of result insertion.
// Keyword: hit receives the hit (-1 when none); on a hit the snippet is
// returned and position becomes hit + 1, else the value is empty and position
// stays. A null keyword finds nothing.
// WebLink, Email, Image: position receives the finder's next, the finder's
// value is returned, hit and keyword are not used.
std::string_view scanNext(const ScanText& text, int& position, int width, const Keyword* keyword,
                          ScanKind kind, int& hit, bool matchCase);

}  // namespace tarnwick
