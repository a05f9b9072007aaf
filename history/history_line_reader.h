#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp932.h"

namespace tolvane {

// Streams the lines of a code page 932 file as UTF-16 without holding the whole file. Raw bytes
// are cut at line feeds before decoding: 0x0A is never part of a two-byte character, so no
// character spans a cut. Lines end at a line feed (not part of the line); a last line without one
// still counts; every carriage return is removed.
class HistoryLineReader {
 public:
  // Opens `path` for reading; IsOpen() tells whether that worked (a directory does not count).
  HistoryLineReader(const std::string& path, Cp932Decoder& decoder);
  ~HistoryLineReader();

  HistoryLineReader(const HistoryLineReader&) = delete;
  HistoryLineReader& operator=(const HistoryLineReader&) = delete;

  bool IsOpen() const { return fd_ >= 0; }

  // The next line, valid until the next call; false at the end of the file. Throws
  // std::runtime_error naming the 1-based line of an undecodable byte sequence, or on a read
  // error. Lines before a bad one are all delivered first.
  bool Next(std::u16string_view& line);

  // The 1-based number of the line Next returned last.
  std::uint64_t LineNumber() const { return lineNumber_; }

 private:
  bool Refill();
  void ReadMore();

  Cp932Decoder& decoder_;
  int fd_ = -1;
  std::size_t firstRead_ = 0;  // the buffer's first size, from the file's size
  bool eof_ = false;

  std::vector<char> raw_;  // bytes read but not decoded yet: [0, rawSize_)
  std::size_t rawSize_ = 0;
  std::u16string decoded_;  // whole lines, decoded
  std::size_t decodedPos_ = 0;
  std::u16string withoutCr_;  // scratch for lines that hold carriage returns

  std::uint64_t lineNumber_ = 0;
  std::string pendingError_;  // a decode error to raise once `decoded_` is used up
};

}  // namespace tolvane
