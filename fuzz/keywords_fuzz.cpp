// splitKeywords on arbitrary "Key words" text, against a character-by-character
// reading of its contract.
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "scan/keyword_list.h"

using namespace tarnwick;

namespace {

std::vector<std::string> referenceSplit(std::string_view text) {
  std::vector<std::string> words;
  std::string token;
  const auto flush = [&] {
    if (!token.empty()) words.push_back(std::move(token));
    token.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const std::size_t close = c == '"' ? text.find('"', i + 1) : std::string_view::npos;
    if (close != std::string_view::npos) {
      flush();
      if (close > i + 1) words.emplace_back(text.substr(i + 1, close - i - 1));
      i = close;
    } else if (c == ' ') {
      flush();
    } else {
      token += c;  // a lone quote stays part of its token
    }
  }
  flush();
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = splitKeywords(text);
  FUZZ_CHECK(words == referenceSplit(text));
  std::size_t total = 0;
  for (const std::string& word : words) {
    FUZZ_CHECK(!word.empty());
    FUZZ_CHECK(tarnwick::fuzz::contains(text, word));
    total += word.size();
  }
  FUZZ_CHECK(total <= text.size());

  const std::vector<Keyword> keywords = makeKeywords(words);
  FUZZ_CHECK(keywords.size() == words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const Keyword& k = keywords[i];
    FUZZ_CHECK(k.text == words[i] && k.lower.size() == k.text.size());
    for (std::size_t j = 0; j < k.text.size(); ++j) {
      const char c = k.text[j];
      FUZZ_CHECK(k.lower[j] == (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c));
    }
  }
  return 0;
}
