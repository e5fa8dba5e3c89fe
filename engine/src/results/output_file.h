#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarnwick {

// A file that could not be created, written or put in place; what() names the
// path and the system's reason.
class FileError : public std::runtime_error {
 public:
  FileError(const std::filesystem::path& path, int errorNumber);
  int errorNumber() const { return errorNumber_; }

 private:
  int errorNumber_;
};

// A file written whole or not at all. A regular (or absent) target is written
// under a temporary name in its own folder and renamed over the target by
// commit(); until then the target keeps its old content, and an OutputFile
// destroyed uncommitted removes its temporary file. A target that exists and
// is not a regular file (a terminal, a pipe, /dev/null) is written in place.
class OutputFile {
 public:
  // Creates the file, retrying briefly while the system reports a passing
  // shortage. Throws FileError.
  explicit OutputFile(std::filesystem::path target);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Buffered; throws FileError.
  void write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferBytes) flush();
    if (bytes.size() >= kBufferBytes)
      writeOut(bytes);
    else
      buffer_.append(bytes);
  }
  void put(char c) {
    if (buffer_.size() >= kBufferBytes) flush();
    buffer_.push_back(c);
  }
  // Writes what is buffered, closes and puts the file in place. Throws FileError.
  void commit();

  const std::filesystem::path& target() const { return target_; }

 private:
  static constexpr std::size_t kBufferBytes = 64 * 1024;
  void flush();
  void writeOut(std::string_view bytes);
  void discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // empty when written in place
  int fd_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace tarnwick
