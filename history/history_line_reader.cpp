#include "history/history_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "history/load_report.h"

namespace tolvane {
namespace {

// Large enough that iconv's per-call cost vanishes, small enough to stay in cache. Small files
// get a buffer their own size.
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
constexpr std::size_t kSmallestRead = 4096;

int OpenRegularFile(const std::string& path, std::size_t& firstRead, std::uint64_t& sizeHint,
                    int& error) {
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
  sizeHint =
      S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)) : 0;
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)) + 1;
  firstRead = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, kSmallestRead, kReadChunk));
  return fd;
}

// The offset of the first line feed in text[0, size) (size if none), and whether a carriage
// return comes before it. Eight units at a time: a history line is a few dozen.
std::size_t FindLineEnd(const char16_t* text, std::size_t size, bool& carriageReturn) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i feed = _mm_set1_epi16(u'\n');
  const __m128i ret = _mm_set1_epi16(u'\r');
  for (; i + 8 <= size; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const auto feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, feed)));
    auto returns = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, ret)));
    if (feeds != 0) {
      const int at = std::countr_zero(feeds);  // two mask bits per unit
      returns &= (1U << at) - 1;
      carriageReturn |= returns != 0;
      return i + static_cast<std::size_t>(at / 2);
    }
    carriageReturn |= returns != 0;
  }
#endif
  for (; i < size && text[i] != u'\n'; ++i) {
    carriageReturn |= text[i] == u'\r';
  }
  return i;
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
  fd_ = OpenRegularFile(path, firstRead_, sizeHint_, openError_);
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
  while (decodedPos_ >= decodedSize_) {
    if (badLine_ != 0) {
      throw LoadError(
          "invalid " + encodingName_ + " byte sequence at line " + std::to_string(badLine_),
          badLine_, "bytes that are not " + encodingName_);
    }
    if (!Refill()) {
      return false;
    }
  }
  bool hasCarriageReturn = false;
  const char16_t* start = decoded_.get() + decodedPos_;
  const std::size_t length = FindLineEnd(start, decodedSize_ - decodedPos_, hasCarriageReturn);
  line = std::u16string_view(start, length);
  decodedPos_ = std::min(decodedPos_ + length + 1, decodedSize_);
  ++lineNumber_;
  if (hasCarriageReturn) {
    if (line.find(u'\r') == line.size() - 1) {
      line.remove_suffix(1);  // a CR LF line ending: nothing to copy
    } else {
      withoutCr_.assign(line);
      std::erase(withoutCr_, u'\r');
      line = withoutCr_;
    }
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
  decodedSize_ = 0;
  decodedPos_ = 0;
  const std::size_t cut = CutRawRun();
  if (cut == 0) {
    return false;
  }
  CheckLineLengths(cut);
  if (decodedCapacity_ < raw_.size()) {
    decoded_ = std::make_unique_for_overwrite<char16_t[]>(raw_.size());
    decodedCapacity_ = raw_.size();
  }

  const std::string_view bytes(raw_.data(), cut);
  const TextDecoder::Decoded decoded = decoder_.DecodeInto(bytes, decoded_.get());
  if (!decoded.ok) {
    // Every line before this run has been handed out, so lineNumber_ counts them.
    const std::string_view before = bytes.substr(0, std::min(decoded.errorOffset, bytes.size()));
    badLine_ = lineNumber_ +
               static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    // The whole lines in front of the bad one decode; they are still delivered in order.
    const std::size_t feed = before.rfind('\n');
    if (feed != std::string_view::npos) {
      const TextDecoder::Decoded lines =
          decoder_.DecodeInto(bytes.substr(0, feed + 1), decoded_.get());
      decodedSize_ = lines.ok ? lines.units : 0;
    }
    rawSize_ = 0;
    eof_ = true;
    return true;
  }
  decodedSize_ = decoded.units;
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
