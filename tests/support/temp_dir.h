#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to a file under the folder (parents created) and returns its path.
  std::filesystem::path write(const std::string& name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

}  // namespace tarnwick::test
