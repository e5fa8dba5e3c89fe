#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// Options of the web crawl ("Fetch Internet").
struct FetchOptions {
  std::string startAddress;
  bool findWebLinks = true;
  bool findImages = false;
  bool findEmails = false;
  bool findKeywords = false;
  bool matchCase = false;
  std::string keywords;
  std::int32_t levels = 0;
  bool downloadFiles = false;  // never stored in the settings file
  std::string downloadFolder;
  double maxDownloadGB = 0.65;
  bool onlyRootDomain = false;
  bool onlyParentDomain = false;
};

// What the local search was pointed at.
enum class SearchTarget : std::int32_t { Nothing = -1, File = 0, Folder = 1 };

// Options of the local search ("Find in local system").
struct LocalSearchOptions {
  std::string keywords;
  bool findKeywords = true;
  bool findEmails = false;
  bool findWebLinks = false;
  bool findImages = false;
  bool matchCase = true;
  std::string searchPath;
  std::string reportText;
  // Stored as read: the settings file may hold any integer.
  std::int32_t searchTarget = static_cast<std::int32_t>(SearchTarget::Nothing);
};

}  // namespace tarnwick
