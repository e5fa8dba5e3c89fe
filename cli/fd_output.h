#pragma once

#include <streambuf>

namespace tarnwick::cli {

// A stream buffer that writes straight to a file descriptor (standard output)
// and keeps the errno of the first failed write, which iostreams lose.
class FdOutputBuffer : public std::streambuf {
 public:
  explicit FdOutputBuffer(int fd) : fd_(fd) {}
  // 0 while every write went through.
  int error() const { return error_; }

 protected:
  std::streamsize xsputn(const char* data, std::streamsize size) override;
  int_type overflow(int_type c) override;

 private:
  int fd_;
  int error_ = 0;
};

// Reports a failed write to standard output on standard error, except a
// closed pipe (the reader went away, as with "| head"), which ends quietly.
void reportStdoutFailure(const char* what, int error);

}  // namespace tarnwick::cli
