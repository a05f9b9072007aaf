#include "cli/history_source.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "cli/exit_status.h"

namespace tolvane::cli {
namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// Writes all of `size` bytes, through interruptions and short writes; false with errno set.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

HistorySource::HistorySource(std::string argument)
    : argument_(std::move(argument)), path_(argument_), name_(argument_) {}

HistorySource::~HistorySource() {
  if (copy_ >= 0) {
    ::close(copy_);
  }
}

bool HistorySource::Open() {
  if (!IsStandardInput(argument_)) {
    return true;
  }
  name_ = "(standard input)";
  // A closed standard input would otherwise be taken over by the copy itself.
  if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {
    Complain(std::string("cannot read standard input: ") + std::strerror(errno));
    return false;
  }
#if defined(__EMSCRIPTEN__)
  errno = ENOSYS;  // the browser page has no standard input, and no memfd_create
#else
  copy_ = ::memfd_create("tolvane-history", MFD_CLOEXEC);
#endif
  if (copy_ < 0) {
    Complain(std::string("cannot hold standard input: ") + std::strerror(errno));
    return false;
  }
  std::vector<char> buffer(kChunk);
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (n == 0) {
      break;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      Complain(std::string("cannot read standard input: ") + std::strerror(errno));
      return false;
    }
    if (!WriteAll(copy_, buffer.data(), static_cast<std::size_t>(n))) {
      Complain(std::string("cannot hold standard input: ") + std::strerror(errno));
      return false;
    }
  }
  // The loader opens the copy by name, from its start.
  path_ = "/proc/self/fd/" + std::to_string(copy_);
  return true;
}

}  // namespace tolvane::cli
