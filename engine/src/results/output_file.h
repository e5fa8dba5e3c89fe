#pragma once

#include <sys/types.h>

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

// How an OutputFile treats what is already at its name.
enum class Placement {
  // A file the user named: a regular file, a symbolic link or nothing at the
  // name is replaced (a link itself, never what it points to); an existing
  // device or pipe, or a link to one (/dev/stdout), is written in place. A
  // regular file in a folder where no temporary file can be made is
  // overwritten in place.
  UserFile,
  // A file whose name the program makes (an address stored, the settings
  // file): whatever is at the name (but a folder) is replaced, nothing is
  // ever written in place or through a link.
  StoredFile,
};

// A file written whole or not at all, unless written in place (see
// Placement): the data go to a temporary file made in the target's folder,
// which commit() renames over the name; until then the name keeps what it
// held, and an OutputFile destroyed uncommitted removes its temporary file.
class OutputFile {
 public:
  // Creates the file, retrying briefly while the system reports a passing
  // shortage. Throws FileError.
  explicit OutputFile(std::filesystem::path target, Placement placement = Placement::UserFile);
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
  // As write(), with every CR and LF written as a blank: a label can never
  // add a line of its own.
  void writeInLine(std::string_view text);
  // Writes what is buffered and waits until the system has it on the disk,
  // so a file that replaces another is whole even after a crash. Throws
  // FileError.
  void sync();
  // Writes what is buffered, closes and puts the file in place. Throws FileError.
  void commit();

  const std::filesystem::path& target() const { return target_; }
  // True when the old content is overwritten as the data are written (a
  // failed write then leaves it cut).
  bool inPlace() const { return temporary_.empty(); }

  // Test seam: every write of every OutputFile goes through this call
  // (::write by default), so tests can make a disk fill up. Null restores it.
  using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
  static void setWriteCallForTesting(WriteCall call);

 private:
  static constexpr std::size_t kBufferBytes = 64 * 1024;
  void openTemporary(const std::filesystem::path& folder, mode_t mode);
  void openInPlace(int flags);
  void flush();
  void writeOut(std::string_view bytes);
  void discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // empty when written in place
  int fd_ = -1;
  int pendingSlot_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace tarnwick
