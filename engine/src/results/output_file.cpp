#include "results/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

#include "results/pending_files.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

OutputFile::WriteCall writeCall = &::write;

// Errors worth a second attempt: the system may have room again shortly.
bool isPassing(int error) {
  return error == EINTR || error == EAGAIN || error == EBUSY || error == ETXTBSY ||
         error == EMFILE || error == ENFILE;
}

// The folder refuses new entries, though a file in it may still be writable.
bool isFolderRefusal(int error) { return error == EACCES || error == EROFS || error == EPERM; }

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

// What is at a name, without following a link there.
struct NameState {
  bool exists = false;
  struct stat entry {};
  bool linkResolves = false;  // a symbolic link whose end exists
  struct stat end {};

  bool isLink() const { return exists && S_ISLNK(entry.st_mode); }
};

NameState lookAt(const fs::path& path) {
  NameState state;
  if (::lstat(path.c_str(), &state.entry) != 0) {
    if (errno != ENOENT) throw FileError(path, errno);
    return state;
  }
  state.exists = true;
  if (state.isLink()) state.linkResolves = ::stat(path.c_str(), &state.end) == 0;
  return state;
}

}  // namespace

FileError::FileError(const fs::path& path, int errorNumber)
    : std::runtime_error(path.string() + ": " + std::generic_category().message(errorNumber)),
      errorNumber_(errorNumber) {}

void OutputFile::setWriteCallForTesting(WriteCall call) { writeCall = call ? call : &::write; }

OutputFile::OutputFile(fs::path target, Placement placement) : target_(std::move(target)) {
  const NameState name = lookAt(target_);
  const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
  mode_t mode = defaultFileMode();
  if (name.exists && S_ISDIR(name.entry.st_mode)) throw FileError(target_, EISDIR);
  if (name.exists && S_ISREG(name.entry.st_mode)) mode = name.entry.st_mode & 07777;

  if (placement == Placement::UserFile && name.exists) {
    if (name.linkResolves && S_ISDIR(name.end.st_mode)) throw FileError(target_, EISDIR);
    const bool device = name.isLink() ? name.linkResolves && !S_ISREG(name.end.st_mode)
                                      : !S_ISREG(name.entry.st_mode);
    if (device) {
      openInPlace(O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);  // a terminal, a pipe, /dev/null
      buffer_.reserve(kBufferBytes);
      return;
    }
  }
  try {
    openTemporary(folder, mode);
  } catch (const FileError& e) {
    const bool regular = name.exists && S_ISREG(name.entry.st_mode);
    if (placement != Placement::UserFile || !regular || !isFolderRefusal(e.errorNumber())) throw;
    // No new file can be made beside it, but the file itself may be writable.
    openInPlace(O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  }
  buffer_.reserve(kBufferBytes);
}

void OutputFile::openTemporary(const fs::path& folder, mode_t mode) {
  const std::string pattern = (folder / ".tarnwick-XXXXXX.part").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // mkostemps creates with O_EXCL: a link planted at the name is never followed.
  fd_ = openWithRetry([&] {
    std::copy(pattern.begin(), pattern.end(), name.begin());
    return ::mkostemps(name.data(), 5, O_CLOEXEC);
  });
  if (fd_ < 0) throw FileError(target_, errno);
  temporary_ = name.data();
  pendingSlot_ = PendingFiles::add(temporary_.c_str());
  ::fchmod(fd_, mode);
}

void OutputFile::openInPlace(int flags) {
  fd_ = openWithRetry([&] { return ::open(target_.c_str(), flags, 0666); });
  if (fd_ < 0) throw FileError(target_, errno);
}

OutputFile::~OutputFile() {
  if (!committed_) discard();
}

void OutputFile::writeInLine(std::string_view text) {
  for (std::size_t end; (end = text.find_first_of("\r\n")) != std::string_view::npos;) {
    write(text.substr(0, end));
    put(' ');
    text.remove_prefix(end + 1);
  }
  write(text);
}

void OutputFile::writeOut(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = writeCall(fd_, bytes.data(), bytes.size());
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

void OutputFile::sync() {
  flush();
  if (::fsync(fd_) != 0) throw FileError(target_, errno);
}

void OutputFile::commit() {
  flush();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) throw FileError(target_, errno);
  // rename() replaces a link at the name itself, never the file it points to.
  if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0)
    throw FileError(target_, errno);
  PendingFiles::drop(pendingSlot_);
  pendingSlot_ = -1;
  committed_ = true;
}

void OutputFile::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  PendingFiles::drop(pendingSlot_);
  pendingSlot_ = -1;
}

}  // namespace tarnwick
