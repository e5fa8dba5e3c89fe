#include "results/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

// Errors worth a second attempt: the system may have room again shortly.
bool isPassing(int error) {
  return error == EINTR || error == EAGAIN || error == EBUSY || error == ETXTBSY ||
         error == EMFILE || error == ENFILE;
}

mode_t defaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Runs open() up to four times, 10 ms apart, while it fails for a passing
// reason. Returns the descriptor or -1 with errno set.
template <class Open>
int openWithRetry(Open open) {
  constexpr int kRetries = 2;
  int fd = open();
  for (int retry = 0; fd < 0 && retry <= kRetries && isPassing(errno); ++retry) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    fd = open();
  }
  return fd;
}

}  // namespace

FileError::FileError(const fs::path& path, int errorNumber)
    : std::runtime_error(path.string() + ": " + std::generic_category().message(errorNumber)),
      errorNumber_(errorNumber) {}

OutputFile::OutputFile(fs::path target) : target_(std::move(target)) {
  struct stat link {};
  struct stat file {};
  bool inPlace = false;
  mode_t mode = defaultFileMode();
  fs::path placed = target_;
  if (::lstat(target_.c_str(), &link) != 0) {
    if (errno != ENOENT) throw FileError(target_, errno);
  } else if (S_ISDIR(link.st_mode)) {
    throw FileError(target_, EISDIR);
  } else if (S_ISREG(link.st_mode)) {
    mode = link.st_mode & 07777;
  } else if (S_ISLNK(link.st_mode) && ::stat(target_.c_str(), &file) == 0 &&
             S_ISREG(file.st_mode)) {
    // Replace the file the link points to and keep the link.
    std::error_code ec;
    placed = fs::canonical(target_, ec);
    if (ec) throw FileError(target_, ec.value());
    mode = file.st_mode & 07777;
  } else if (S_ISLNK(link.st_mode) && ::stat(target_.c_str(), &file) == 0 &&
             S_ISDIR(file.st_mode)) {
    throw FileError(target_, EISDIR);
  } else {
    inPlace = true;  // a device, a pipe, or a link to one (or to nothing yet)
  }

  if (inPlace) {
    fd_ = openWithRetry(
        [&] { return ::open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); });
    if (fd_ < 0) throw FileError(target_, errno);
  } else {
    const fs::path folder = placed.has_parent_path() ? placed.parent_path() : fs::path(".");
    const std::string pattern = (folder / ".tarnwick-XXXXXX.part").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = openWithRetry([&] {
      std::copy(pattern.begin(), pattern.end(), name.begin());
      return ::mkostemps(name.data(), 5, O_CLOEXEC);
    });
    if (fd_ < 0) throw FileError(target_, errno);
    temporary_ = name.data();
    ::fchmod(fd_, mode);
    target_ = placed;
  }
  buffer_.reserve(kBufferBytes);
}

OutputFile::~OutputFile() {
  if (!committed_) discard();
}

void OutputFile::writeOut(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(target_, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void OutputFile::flush() {
  writeOut(buffer_);
  buffer_.clear();
}

void OutputFile::commit() {
  flush();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) throw FileError(target_, errno);
  if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0)
    throw FileError(target_, errno);
  committed_ = true;
}

void OutputFile::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

}  // namespace tarnwick
