#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_decoder.h"

namespace tolvane {

// Streams the lines of a code page 932 or UTF-8 file as UTF-16 without holding the whole file.
// Raw bytes are cut at line feeds and each line is decoded on its own: in both encodings 0x0A is
// never part of a multi-byte character, so no character spans a cut. Lines end at a line feed (not
// part of the line); a last line without one still counts; every carriage return is removed. No
// line may be longer than kMaxLineBytes, so no input, however it is shaped, makes the reader hold
// more than a few of those at once.
class HistoryLineReader {
 public:
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

  // Opens `path` for reading; IsOpen() tells whether that worked (a directory does not count).
  // `encodingName` ("code page 932", "UTF-8") names the encoding in errors.
  HistoryLineReader(const std::string& path, TextDecoder& decoder, std::string encodingName);
  // Reads the lines of a file already in memory, exactly as they would be read from the file:
  // what has been checked from these bytes is what a caller then writes. `bytes` must outlive
  // the reader.
  HistoryLineReader(std::string_view bytes, TextDecoder& decoder, std::string encodingName);
  ~HistoryLineReader();

  HistoryLineReader(const HistoryLineReader&) = delete;
  HistoryLineReader& operator=(const HistoryLineReader&) = delete;

  bool IsOpen() const { return fd_ >= 0 || inMemory_; }
  // Why the file could not be opened: an errno value (EISDIR for a directory).
  int OpenError() const { return openError_; }

  // The file's size when it was opened, 0 when unknown (a pipe, or a file under /proc): lets a
  // caller size what it builds once.
  std::uint64_t SizeHint() const { return sizeHint_; }

  // Passes over the first line as raw bytes, never decoding it; false when the file is empty.
  bool SkipLine();

  // The next line, decoded, valid until the next call; false at the end of the file. Throws
  // LoadError (history/load_report.h) naming the line of an undecodable byte sequence or of a line
  // longer than kMaxLineBytes, or for a read error. Lines before a bad one are all delivered first.
  // The first line of a file that is not text (a NUL byte near its start, no comma in that line)
  // is not decoded: it comes as its bytes, each byte that is not printable ASCII as U+DC00 plus the
  // byte, so that a message quoting it shows \x89PNG rather than mojibake.
  bool Next(std::u16string_view& line);

  // The same in two steps, for a caller that can judge most lines from their bytes: the next
  // line's bytes (carriage returns still in them), valid until the next call, and then, if
  // needed, the same line decoded as Next would give it, valid until the next call of either.
  bool NextBytes(std::string_view& bytes);
  std::u16string_view Decode(std::string_view bytes);

  // The 1-based number of the line Next or SkipLine passed last.
  std::uint64_t LineNumber() const { return lineNumber_; }

 private:
  // Holds the next run of whole lines in the first runEnd_ bytes held; false when the file is used
  // up.
  bool Refill();
  // Finds the end of the next run of whole lines: just after its last line feed, or the end of
  // the file. 0 when nothing is left.
  std::size_t CutRawRun();
  void ReadMore();
  // Lets go of the first `bytes` held.
  void Drop(std::size_t bytes);
  // The bytes held, [Held(), Held() + rawSize_): in raw_ for a file; in memory, where they are.
  const char* Held() const { return inMemory_ ? memory_.data() : raw_.data(); }
  // How many bytes may be held before the room grows.
  std::size_t Capacity() const { return inMemory_ ? window_ : raw_.size(); }
  void CheckLineLengths(std::size_t cut) const;

  TextDecoder& decoder_;
  std::string encodingName_;
  int fd_ = -1;
  bool inMemory_ = false;
  std::string_view memory_;  // in memory: the bytes from the first held one to the end
  std::size_t window_ = 0;   // in memory: the room, as raw_.size() is for a file
  int openError_ = 0;
  std::size_t firstRead_ = 0;  // the buffer's first size, from the file's size
  std::uint64_t sizeHint_ = 0;
  bool eof_ = false;

  std::vector<char> raw_;  // a file's bytes read: [0, rawSize_)
  std::size_t rawSize_ = 0;
  std::size_t runEnd_ = 0;   // the first runEnd_ bytes held are whole lines ...
  std::size_t linePos_ = 0;  // ... of which those from here on are still to be handed out
  // A line decoded, in a buffer grown to the longest line met (each byte gives one unit at most).
  std::unique_ptr<char16_t[]> decoded_;
  std::size_t decodedCapacity_ = 0;
  std::u16string withoutCr_;  // scratch for lines that hold carriage returns

  std::uint64_t lineNumber_ = 0;
};

}  // namespace tolvane
