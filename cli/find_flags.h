#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace tarnwick::cli {

// The categories to look for, from "--find links,images,emails,keywords".
struct FindSelection {
  bool links = false;
  bool images = false;
  bool emails = false;
  bool keywords = false;
};

// The non-empty words of a comma list ("links,,emails" gives two).
std::vector<std::string> splitList(const std::string& list);

// Adds --find (a usage error for an unknown category) with the given default.
void addFindFlag(CLI::App& sub, std::string& list, const std::string& defaultList);
FindSelection parseFindList(const std::string& list);

// Sets the four find switches of an option set from a --find list.
template <class Options>
void applyFindList(const std::string& list, Options& options) {
  const FindSelection find = parseFindList(list);
  options.findWebLinks = find.links;
  options.findImages = find.images;
  options.findEmails = find.emails;
  options.findKeywords = find.keywords;
}

// Adds --match-case and --ignore-case (mutually exclusive) around `matchCase`.
void addCaseFlags(CLI::App& sub, bool& matchCase);

}  // namespace tarnwick::cli
