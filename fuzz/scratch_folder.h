#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarnwick::fuzz {

// A private folder for the files a target writes, in memory where the system
// offers it (the writers sync, and a disk would set the pace), removed when
// the program ends.
inline const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::is_directory("/dev/shm") ? std::string("/dev/shm") : std::string("/tmp")) +
        "/tarnwick-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchFolder(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

}  // namespace tarnwick::fuzz
