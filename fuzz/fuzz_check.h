#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property every input must keep. A violation aborts, so libFuzzer keeps
// the input as a crash and the script fails.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__,      \
                   #condition);                                                        \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

namespace tarnwick::fuzz {

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// True when part views memory inside text (an empty view counts anywhere).
inline bool viewsInto(std::string_view part, std::string_view text) {
  if (part.empty()) return true;
  return part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size();
}

}  // namespace tarnwick::fuzz
