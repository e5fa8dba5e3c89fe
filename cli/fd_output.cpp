#include "fd_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarnwick::cli {

std::streamsize FdOutputBuffer::xsputn(const char* data, std::streamsize size) {
  if (error_ != 0) return 0;
  std::streamsize done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, data + done, static_cast<std::size_t>(size - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return done;
    }
    done += n;
  }
  return done;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

void reportStdoutFailure(const char* what, int error) {
  if (error == EPIPE) return;
  std::fprintf(stderr, "tarnwick-cli: cannot write %s to standard output: %s\n", what,
               std::strerror(error));
}

}  // namespace tarnwick::cli
