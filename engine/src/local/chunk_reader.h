#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Reads a local file in chunks of a fixed size (the last one shorter), from
// large buffered blocks so that small chunks cost no system call each.
class ChunkReader {
 public:
  // Throws std::system_error when the file cannot be opened.
  explicit ChunkReader(const std::string& path, std::size_t chunkSize = 1024);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  std::uint64_t length() const { return length_; }
  // The next chunk (empty at the end); valid until the next call.
  // Throws std::system_error on a read error.
  std::string_view next();

 private:
  void fill();

  int fd_ = -1;
  std::uint64_t length_ = 0;
  std::size_t chunkSize_;
  std::vector<char> block_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace tarnwick
