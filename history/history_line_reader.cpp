#include "history/history_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tolvane {
namespace {

// Large enough that iconv's per-call cost vanishes, small enough to stay in cache. Small files
// get a buffer their own size.
constexpr std::size_t kReadChunk = std::size_t{256} * 1024;
constexpr std::size_t kSmallestRead = 4096;

int OpenRegularFile(const std::string& path, std::size_t& firstRead) {
  if (path.find('\0') != std::string::npos) {
    return -1;  // the system call would read a shorter, different path
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  // Some files (those under /proc) report no size but have content; growth covers them.
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)) + 1;
  firstRead = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, kSmallestRead, kReadChunk));
  return fd;
}

}  // namespace

HistoryLineReader::HistoryLineReader(const std::string& path, Cp932Decoder& decoder)
    : decoder_(decoder) {
  fd_ = OpenRegularFile(path, firstRead_);
}

HistoryLineReader::~HistoryLineReader() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool HistoryLineReader::Next(std::u16string_view& line) {
  while (decodedPos_ >= decoded_.size()) {
    if (!pendingError_.empty()) {
      throw std::runtime_error(pendingError_);
    }
    if (!Refill()) {
      return false;
    }
  }
  // One pass finds the line's end and whether it holds carriage returns.
  std::size_t end = decodedPos_;
  bool hasCarriageReturn = false;
  while (end < decoded_.size() && decoded_[end] != u'\n') {
    hasCarriageReturn |= decoded_[end] == u'\r';
    ++end;
  }
  line = std::u16string_view(decoded_).substr(decodedPos_, end - decodedPos_);
  decodedPos_ = end < decoded_.size() ? end + 1 : end;
  ++lineNumber_;
  if (hasCarriageReturn) {
    withoutCr_.assign(line);
    std::erase(withoutCr_, u'\r');
    line = withoutCr_;
  }
  return true;
}

// Decodes the next run of whole lines into `decoded_`; false when the file is used up.
bool HistoryLineReader::Refill() {
  decoded_.clear();
  decodedPos_ = 0;
  std::size_t cut = 0;
  for (;;) {
    const void* lastFeed = rawSize_ == 0 ? nullptr : ::memrchr(raw_.data(), '\n', rawSize_);
    if (lastFeed != nullptr) {
      cut = static_cast<std::size_t>(static_cast<const char*>(lastFeed) - raw_.data()) + 1;
      break;
    }
    if (eof_) {
      cut = rawSize_;
      break;
    }
    ReadMore();
  }
  if (cut == 0) {
    return false;
  }

  const std::string_view bytes(raw_.data(), cut);
  std::size_t badOffset = 0;
  std::optional<std::u16string> text = decoder_.Decode(bytes, &badOffset);
  if (!text) {
    // Every line before this run has been handed out, so lineNumber_ counts them.
    const std::string_view before = bytes.substr(0, std::min(badOffset, bytes.size()));
    const std::uint64_t badLine =
        lineNumber_ + static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n')) +
        1;
    pendingError_ = "invalid code page 932 byte sequence at line " + std::to_string(badLine);
    // The whole lines in front of the bad one decode; they are still delivered in order.
    const std::size_t feed = before.rfind('\n');
    text = feed == std::string_view::npos ? std::u16string()
                                          : decoder_.Decode(bytes.substr(0, feed + 1));
    rawSize_ = 0;
    eof_ = true;
    if (text) {
      decoded_ = std::move(*text);
    }
    return true;
  }
  decoded_ = std::move(*text);
  std::memmove(raw_.data(), raw_.data() + cut, rawSize_ - cut);
  rawSize_ -= cut;
  return true;
}

// Appends one read's worth of bytes to `raw_`, growing it when a line outgrows it.
void HistoryLineReader::ReadMore() {
  if (rawSize_ == raw_.size()) {
    raw_.resize(raw_.empty() ? firstRead_ : raw_.size() * 2);
  }
  for (;;) {
    const ssize_t n = ::read(fd_, raw_.data() + rawSize_, raw_.size() - rawSize_);
    if (n > 0) {
      rawSize_ += static_cast<std::size_t>(n);
      return;
    }
    if (n == 0) {
      eof_ = true;
      return;
    }
    if (errno != EINTR) {
      throw std::runtime_error(std::string("unable to read the history file: ") +
                               std::strerror(errno));
    }
  }
}

}  // namespace tolvane
