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
  // Requests under way at once while crawling: the address being read and
  // the next ones in the queue, fetched ahead (1: one address at a time).
  // Values out of range count as the nearest limit.
  std::int32_t parallelConnections = 8;
};

constexpr std::int32_t kMinParallelConnections = 1;
constexpr std::int32_t kMaxParallelConnections = 64;

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
