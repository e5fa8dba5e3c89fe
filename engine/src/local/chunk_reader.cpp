#include "local/chunk_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace tarnwick {

namespace {
constexpr std::size_t kBlockBytes = 256 * 1024;
}

ChunkReader::ChunkReader(const std::string& path, std::size_t chunkSize)
    : chunkSize_(chunkSize), block_(kBlockBytes + chunkSize) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; only regular
  // files are read, and for them the flag changes nothing.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) throw std::system_error(errno, std::generic_category(), path);
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    const int error = errno;
    ::close(fd_);
    throw std::system_error(error, std::generic_category(), path);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd_);
    throw std::system_error(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, std::generic_category(),
                            path + " (not a regular file)");
  }
  length_ = static_cast<std::uint64_t>(info.st_size);
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

ChunkReader::~ChunkReader() {
  if (fd_ >= 0) ::close(fd_);
}

void ChunkReader::fill() {
  // Keep the unread tail, then top the block up.
  if (begin_ > 0) {
    std::memmove(block_.data(), block_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (!eof_ && end_ < block_.size()) {
    const ssize_t n = ::read(fd_, block_.data() + end_, block_.size() - end_);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "read");
    }
    if (n == 0) eof_ = true;
    end_ += static_cast<std::size_t>(n);
  }
}

std::string_view ChunkReader::next() {
  if (end_ - begin_ < chunkSize_ && !eof_) fill();
  const std::size_t size = std::min(chunkSize_, end_ - begin_);
  const std::string_view chunk(block_.data() + begin_, size);
  begin_ += size;
  return chunk;
}

}  // namespace tarnwick
