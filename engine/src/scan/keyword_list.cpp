#include "scan/keyword_list.h"

#include "scan/ascii_case.h"

namespace tarnwick {

namespace {
constexpr char kQuote = '"';

void appendWords(std::string_view stretch, std::vector<std::string>& words) {
  std::size_t at = 0;
  while ((at = stretch.find_first_not_of(' ', at)) != std::string_view::npos) {
    std::size_t end = stretch.find(' ', at);
    if (end == std::string_view::npos) end = stretch.size();
    words.emplace_back(stretch.substr(at, end - at));
    at = end;
  }
}
}  // namespace

std::vector<std::string> splitKeywords(std::string_view text) {
  std::vector<std::string> words;
  while (!text.empty()) {
    const std::size_t open = text.find(kQuote);
    const std::size_t close =
        open == std::string_view::npos ? open : text.find(kQuote, open + 1);
    if (close == std::string_view::npos) {
      appendWords(text, words);
      break;
    }
    appendWords(text.substr(0, open), words);
    if (close > open + 1) words.emplace_back(text.substr(open + 1, close - open - 1));
    text.remove_prefix(close + 1);
  }
  return words;
}

std::vector<Keyword> makeKeywords(const std::vector<std::string>& words) {
  std::vector<Keyword> keywords;
  keywords.reserve(words.size());
  for (const std::string& word : words) keywords.push_back({word, lowerAsciiCopy(word)});
  return keywords;
}

}  // namespace tarnwick
