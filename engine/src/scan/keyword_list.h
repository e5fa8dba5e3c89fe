#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Splits the text of a "Key words" box into the keyword list, in order:
// text between a pair of double quotes is one keyword (spaces and letter case
// kept, an empty pair adds nothing); everything else is split at spaces (runs
// of spaces count as one). A lone double quote stays part of its token.
// Nothing is trimmed, lower-cased or de-duplicated; any length is handled.
std::vector<std::string> splitKeywords(std::string_view text);

// A keyword with its lower-case copy (A-Z folded), made once per search for
// case-insensitive matching.
struct Keyword {
  std::string text;
  std::string lower;
};

std::vector<Keyword> makeKeywords(const std::vector<std::string>& words);

}  // namespace tarnwick
