#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_decoder.h"

namespace tolvane {

// Streams the lines of a code page 932 or UTF-8 file as UTF-16 without holding the whole file.
// Raw bytes are cut at line feeds before decoding: in both encodings 0x0A is never part of a
// multi-byte character, so no character spans a cut. Lines end at a line feed (not part of the
// line); a last line without one still counts; every carriage return is removed. No line may be
// longer than kMaxLineBytes, so no input, however it is shaped, makes the reader hold more than a
// few of those at once.
class HistoryLineReader {
 public:
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

  // Opens `path` for reading; IsOpen() tells whether that worked (a directory does not count).
  // `encodingName` ("code page 932", "UTF-8") names the encoding in errors.
  HistoryLineReader(const std::string& path, TextDecoder& decoder, std::string encodingName);
  ~HistoryLineReader();

  HistoryLineReader(const HistoryLineReader&) = delete;
  HistoryLineReader& operator=(const HistoryLineReader&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Why the file could not be opened: an errno value (EISDIR for a directory).
  int OpenError() const { return openError_; }

  // The file's size when it was opened, 0 when unknown (a pipe, or a file under /proc): lets a
  // caller size what it builds once.
  std::uint64_t SizeHint() const { return sizeHint_; }

  // Passes over the first line as raw bytes, never decoding it; false when the file is empty.
  bool SkipLine();

  // The next line, valid until the next call; false at the end of the file. Throws LoadError
  // (history/load_report.h) naming the line of an undecodable byte sequence or of a line longer
  // than kMaxLineBytes, or for a read error. Lines before a bad one are all delivered first.
  bool Next(std::u16string_view& line);

  // The 1-based number of the line Next or SkipLine passed last.
  std::uint64_t LineNumber() const { return lineNumber_; }

 private:
  bool Refill();
  // Finds the end of the raw run to decode next: just after its last line feed, or the end of
  // the file. 0 when nothing is left.
  std::size_t CutRawRun();
  void ReadMore();
  void CheckLineLengths(std::size_t cut) const;

  TextDecoder& decoder_;
  std::string encodingName_;
  int fd_ = -1;
  int openError_ = 0;
  std::size_t firstRead_ = 0;  // the buffer's first size, from the file's size
  std::uint64_t sizeHint_ = 0;
  bool eof_ = false;

  std::vector<char> raw_;  // bytes read but not decoded yet: [0, rawSize_)
  std::size_t rawSize_ = 0;
  // Whole lines, decoded: [0, decodedSize_) of a buffer that holds raw_.size() units, enough for
  // any run of raw bytes (one unit per byte at most).
  std::unique_ptr<char16_t[]> decoded_;
  std::size_t decodedCapacity_ = 0;
  std::size_t decodedSize_ = 0;
  std::size_t decodedPos_ = 0;
  std::u16string withoutCr_;  // scratch for lines that hold carriage returns

  std::uint64_t lineNumber_ = 0;
  std::uint64_t badLine_ = 0;  // a line that failed to decode, raised once `decoded_` is used up
};

}  // namespace tolvane
