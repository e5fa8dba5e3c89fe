#include "find_flags.h"

#include <sstream>

namespace tarnwick::cli {

namespace {

bool isCategory(const std::string& word) {
  return word == "links" || word == "images" || word == "emails" || word == "keywords";
}

}  // namespace

std::vector<std::string> splitList(const std::string& list) {
  std::vector<std::string> words;
  std::stringstream in(list);
  for (std::string word; std::getline(in, word, ',');)
    if (!word.empty()) words.push_back(word);
  return words;
}

void addFindFlag(CLI::App& sub, std::string& list, const std::string& defaultList) {
  list = defaultList;
  sub.add_option("--find", list, "Comma list of links,images,emails,keywords")
      ->capture_default_str()
      ->check([](const std::string& value) -> std::string {
        for (const auto& word : splitList(value))
          if (!isCategory(word))
            return "unknown category '" + word + "' (use links,images,emails,keywords)";
        return {};
      });
}

FindSelection parseFindList(const std::string& list) {
  FindSelection s;
  for (const auto& word : splitList(list)) {
    s.links |= word == "links";
    s.images |= word == "images";
    s.emails |= word == "emails";
    s.keywords |= word == "keywords";
  }
  return s;
}

void addCaseFlags(CLI::App& sub, bool& matchCase) {
  auto* on = sub.add_flag_callback("--match-case", [&matchCase] { matchCase = true; },
                                   "Match keywords with their exact letter case");
  auto* off = sub.add_flag_callback("--ignore-case", [&matchCase] { matchCase = false; },
                                    "Match keywords whatever their letter case");
  on->excludes(off);
}

}  // namespace tarnwick::cli
