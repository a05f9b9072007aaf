#include "history/history_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "history/load_report.h"

namespace tolvane {
namespace {

// Large enough that iconv's per-call cost vanishes, small enough to stay in cache. Small files
// get a buffer their own size.
constexpr std::size_t kReadChunk = std::size_t{256} * 1024;
constexpr std::size_t kSmallestRead = 4096;

int OpenRegularFile(const std::string& path, std::size_t& firstRead, int& error) {
  if (path.find('\0') != std::string::npos) {
    error = ENOENT;  // the system call would read a shorter, different path
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return -1;
  }
  // Some files (those under /proc) report no size but have content; growth covers them.
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)) + 1;
  firstRead = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, kSmallestRead, kReadChunk));
  return fd;
}

// The line is named in the text itself, which the log and the user both read; the report counts
// it as a failure of the file, so the text is not prefixed with the line a second time.
std::string TooLongText(std::uint64_t line) {
  return "line " + std::to_string(line) + " is longer than " +
         std::to_string(HistoryLineReader::kMaxLineBytes) + " bytes";
}

}  // namespace

HistoryLineReader::HistoryLineReader(const std::string& path, TextDecoder& decoder,
                                     std::string encodingName)
    : decoder_(decoder), encodingName_(std::move(encodingName)) {
  fd_ = OpenRegularFile(path, firstRead_, openError_);
}

HistoryLineReader::~HistoryLineReader() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool HistoryLineReader::SkipLine() {
  const std::size_t cut = CutRawRun();
  if (cut == 0) {
    return false;
  }
  const void* feed = std::memchr(raw_.data(), '\n', cut);
  const std::size_t end =
      feed == nullptr ? cut
                      : static_cast<std::size_t>(static_cast<const char*>(feed) - raw_.data());
  ++lineNumber_;
  if (end > kMaxLineBytes) {
    throw LoadError(TooLongText(lineNumber_), 0, TooLongText(lineNumber_));
  }
  const std::size_t skipped = std::min(end + 1, rawSize_);
  std::memmove(raw_.data(), raw_.data() + skipped, rawSize_ - skipped);
  rawSize_ -= skipped;
  return true;
}

bool HistoryLineReader::Next(std::u16string_view& line) {
  while (decodedPos_ >= decoded_.size()) {
    if (badLine_ != 0) {
      throw LoadError(
          "invalid " + encodingName_ + " byte sequence at line " + std::to_string(badLine_),
          badLine_, "bytes that are not " + encodingName_);
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

std::size_t HistoryLineReader::CutRawRun() {
  for (;;) {
    const void* lastFeed = rawSize_ == 0 ? nullptr : ::memrchr(raw_.data(), '\n', rawSize_);
    if (lastFeed != nullptr) {
      return static_cast<std::size_t>(static_cast<const char*>(lastFeed) - raw_.data()) + 1;
    }
    if (eof_) {
      return rawSize_;
    }
    // Everything held is one unfinished line: past the limit it can only fail.
    if (rawSize_ > kMaxLineBytes) {
      throw LoadError(TooLongText(lineNumber_ + 1), 0, TooLongText(lineNumber_ + 1));
    }
    ReadMore();
  }
}

// Lines within one run can only outgrow the limit when the buffer has grown past it.
void HistoryLineReader::CheckLineLengths(std::size_t cut) const {
  if (raw_.size() <= kMaxLineBytes) {
    return;
  }
  std::size_t start = 0;
  std::uint64_t line = lineNumber_ + 1;
  while (start < cut) {
    const void* feed = std::memchr(raw_.data() + start, '\n', cut - start);
    const std::size_t end =
        feed == nullptr ? cut
                        : static_cast<std::size_t>(static_cast<const char*>(feed) - raw_.data());
    if (end - start > kMaxLineBytes) {
      throw LoadError(TooLongText(line), 0, TooLongText(line));
    }
    start = end + 1;
    ++line;
  }
}

// Decodes the next run of whole lines into `decoded_`; false when the file is used up.
bool HistoryLineReader::Refill() {
  decoded_.clear();
  decodedPos_ = 0;
  const std::size_t cut = CutRawRun();
  if (cut == 0) {
    return false;
  }
  CheckLineLengths(cut);

  const std::string_view bytes(raw_.data(), cut);
  std::size_t badOffset = 0;
  std::optional<std::u16string> text = decoder_.Decode(bytes, &badOffset);
  if (!text) {
    // Every line before this run has been handed out, so lineNumber_ counts them.
    const std::string_view before = bytes.substr(0, std::min(badOffset, bytes.size()));
    badLine_ = lineNumber_ +
               static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n')) + 1;
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
      const std::string reason = std::strerror(errno);
      throw LoadError("unable to read the history file: " + reason, 0, "cannot read: " + reason);
    }
  }
}

}  // namespace tolvane
