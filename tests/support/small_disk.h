#pragma once

#include <filesystem>

namespace tarnwick::test {

// A tmpfs of `kilobytes` mounted on a fresh folder for the length of a scope;
// mounted() is false where the test may not mount (not root, no tmpfs).
class SmallDisk {
 public:
  SmallDisk(const std::filesystem::path& at, int kilobytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  // Writes zeros to a file "filler" until the disk refuses more.
  void fill() const;

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
};

}  // namespace tarnwick::test
