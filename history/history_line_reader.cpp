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

// The line is named in the text itself, which the log and the user both read; the report counts
// it as a failure of the file, so the text is not prefixed with the line a second time.
std::string TooLongText(std::uint64_t line) {
  return "line " + std::to_string(line) + " is longer than " +
         std::to_string(HistoryLineReader::kMaxLineBytes) + " bytes";
}

// A line's length as the limit counts it: without its line end, a CR before the LF included.
std::size_t CountedLength(const char* start, std::size_t length) {
  return length > 0 && start[length - 1] == '\r' ? length - 1 : length;
}

// A file whose lines end in a carriage return alone reads as a single line: said plainly,
// rather than taken for a header without draws or for one overlong line.
constexpr const char* kCarriageReturnsOnly =
    "its lines end in a carriage return (CR) alone; convert them to LF or CR LF line ends";

// How much of a file's start is looked at to tell a picture or an archive from text.
constexpr std::size_t kSniffedBytes = 4096;

// Neither encoding puts a NUL byte in text, while pictures, archives and UTF-16 have them within
// their first bytes (a PNG at its ninth). Other control bytes are left to the checks: a history
// may hold an escape sequence in a field and still be text.
bool LooksBinary(std::string_view start) { return start.find('\0') != std::string_view::npos; }

// A binary file's line as its bytes: printable ASCII as itself, every other byte b as the lone
// low surrogate U+DC00+b, which no text decodes to and QuotedText writes back as \xNN.
std::u16string_view BytesShown(std::string_view bytes, char16_t* out) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out[i] = byte >= 0x20 && byte < 0x7F ? char16_t{byte} : static_cast<char16_t>(0xDC00 + byte);
  }
  return {out, bytes.size()};
}

}  // namespace

HistoryLineReader::HistoryLineReader(const std::string& path, TextDecoder& decoder,
                                     std::string encodingName)
    : decoder_(decoder), encodingName_(std::move(encodingName)) {
  fd_ = OpenRegularFile(path, firstRead_, sizeHint_, openError_);
}

HistoryLineReader::HistoryLineReader(std::string_view bytes, TextDecoder& decoder,
                                     std::string encodingName)
    : decoder_(decoder), encodingName_(std::move(encodingName)), inMemory_(true), memory_(bytes) {
  sizeHint_ = bytes.size();
  firstRead_ =
      static_cast<std::size_t>(std::clamp<std::uint64_t>(sizeHint_ + 1, kSmallestRead, kReadChunk));
}

HistoryLineReader::~HistoryLineReader() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

void HistoryLineReader::Drop(std::size_t bytes) {
  if (bytes == 0) {
    return;  // nothing held yet, maybe not even room: no null pointer to move from
  }
  if (inMemory_) {
    memory_.remove_prefix(bytes);
  } else {
    std::memmove(raw_.data(), raw_.data() + bytes, rawSize_ - bytes);
  }
  rawSize_ -= bytes;
}

bool HistoryLineReader::SkipLine() {
  const std::size_t cut = CutRawRun();
  if (cut == 0) {
    return false;
  }
  const void* feed = std::memchr(Held(), '\n', cut);
  const std::size_t end =
      feed == nullptr ? cut : static_cast<std::size_t>(static_cast<const char*>(feed) - Held());
  ++lineNumber_;
  if (CountedLength(Held(), end) > kMaxLineBytes) {
    throw LoadError(TooLongText(lineNumber_), 0, TooLongText(lineNumber_));
  }
  Drop(std::min(end + 1, rawSize_));
  return true;
}

bool HistoryLineReader::Next(std::u16string_view& line) {
  std::string_view bytes;
  if (!NextBytes(bytes)) {
    return false;
  }
  line = Decode(bytes);
  return true;
}

bool HistoryLineReader::NextBytes(std::string_view& bytes) {
  if (linePos_ >= runEnd_ && !Refill()) {
    return false;
  }
  const char* start = Held() + linePos_;
  const std::size_t left = runEnd_ - linePos_;
  const void* feed = std::memchr(start, '\n', left);
  const std::size_t length =
      feed == nullptr ? left : static_cast<std::size_t>(static_cast<const char*>(feed) - start);
  bytes = std::string_view(start, length);
  linePos_ = std::min(linePos_ + length + 1, runEnd_);
  ++lineNumber_;
  return true;
}

std::u16string_view HistoryLineReader::Decode(std::string_view bytes) {
  if (decodedCapacity_ < bytes.size()) {
    // At least a read's worth, so that a history's short lines allocate once.
    decodedCapacity_ = std::max(bytes.size(), kReadChunk);
    decoded_ = std::make_unique_for_overwrite<char16_t[]>(decodedCapacity_);
  }
  // Only a header is read this way: the reason that quotes it must not turn bytes into mojibake.
  // The buffer still starts at the file's first byte while the first line is handed out.
  // A first line with a comma is a header whatever follows it, and is decoded as ever.
  if (lineNumber_ == 1 && bytes.find(',') == std::string_view::npos &&
      LooksBinary(std::string_view(Held(), std::min(rawSize_, kSniffedBytes)))) {
    return BytesShown(bytes, decoded_.get());
  }
  const TextDecoder::Decoded decoded = decoder_.DecodeInto(bytes, decoded_.get());
  if (!decoded.ok) {
    throw LoadError(
        "invalid " + encodingName_ + " byte sequence at line " + std::to_string(lineNumber_),
        lineNumber_, "bytes that are not " + encodingName_);
  }
  std::u16string_view line(decoded_.get(), decoded.units);
  const std::size_t carriageReturn = line.find(u'\r');
  if (carriageReturn == std::u16string_view::npos) {
    return line;
  }
  if (carriageReturn == line.size() - 1) {
    line.remove_suffix(1);  // a CR LF line ending: nothing to copy
  } else {
    withoutCr_.assign(line);
    std::erase(withoutCr_, u'\r');
    line = withoutCr_;
  }
  return line;
}

std::size_t HistoryLineReader::CutRawRun() {
  for (;;) {
    const void* lastFeed = rawSize_ == 0 ? nullptr : ::memrchr(Held(), '\n', rawSize_);
    if (lastFeed != nullptr) {
      return static_cast<std::size_t>(static_cast<const char*>(lastFeed) - Held()) + 1;
    }
    if ((eof_ || rawSize_ > kMaxLineBytes) && lineNumber_ == 0) {
      const void* carriageReturn = std::memchr(Held(), '\r', rawSize_);
      if (carriageReturn != nullptr && carriageReturn != Held() + rawSize_ - 1) {
        throw LoadError(kCarriageReturnsOnly, 0, kCarriageReturnsOnly);
      }
    }
    if (eof_) {
      return rawSize_;
    }
    // Everything held is one unfinished line: past the limit it can only fail.
    if (CountedLength(Held(), rawSize_) > kMaxLineBytes) {
      throw LoadError(TooLongText(lineNumber_ + 1), 0, TooLongText(lineNumber_ + 1));
    }
    ReadMore();
  }
}

// Lines within one run can only outgrow the limit when the buffer has grown past it.
void HistoryLineReader::CheckLineLengths(std::size_t cut) const {
  if (Capacity() <= kMaxLineBytes) {
    return;
  }
  std::size_t start = 0;
  std::uint64_t line = lineNumber_ + 1;
  while (start < cut) {
    const void* feed = std::memchr(Held() + start, '\n', cut - start);
    const std::size_t end =
        feed == nullptr ? cut : static_cast<std::size_t>(static_cast<const char*>(feed) - Held());
    if (CountedLength(Held() + start, end - start) > kMaxLineBytes) {
      throw LoadError(TooLongText(line), 0, TooLongText(line));
    }
    start = end + 1;
    ++line;
  }
}

bool HistoryLineReader::Refill() {
  Drop(runEnd_);
  runEnd_ = 0;
  linePos_ = 0;
  const std::size_t cut = CutRawRun();
  if (cut == 0) {
    return false;
  }
  CheckLineLengths(cut);
  runEnd_ = cut;
  return true;
}

// Appends one read's worth of bytes to those held, growing the room when a line outgrows it.
void HistoryLineReader::ReadMore() {
  if (rawSize_ == Capacity()) {
    const std::size_t grown = Capacity() == 0 ? firstRead_ : Capacity() * 2;
    if (inMemory_) {
      window_ = grown;
    } else {
      raw_.resize(grown);
    }
  }
  if (inMemory_) {
    const std::size_t n = std::min(memory_.size(), window_) - rawSize_;
    rawSize_ += n;
    eof_ = n == 0;
    return;
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
