#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace tolvane {

// The optional append-mode trace of one run. Every operation that logs opens its own
// DiagnosticLog on the path it was given; writers that have the same path open at the same time
// share one stream, so their lines reach the file in the order they were written even though a
// predictor keeps its log open while the engine writes through another. The file is closed when
// the last writer lets go.
//
// An empty or unusable path gives a log that is not open: every write does nothing. Numbers use
// the classic locale and the stream's default format (six significant digits), which no writer
// changes.
class DiagnosticLog {
 public:
  explicit DiagnosticLog(const std::string& logPath);
  ~DiagnosticLog();

  DiagnosticLog(const DiagnosticLog&) = delete;
  DiagnosticLog& operator=(const DiagnosticLog&) = delete;

  bool IsOpen() const { return stream_ != nullptr; }

  template <typename T>
  DiagnosticLog& operator<<(const T& value) {
    if (stream_) {
      *stream_ << value;
    }
    return *this;
  }

  // The text, a line feed, then a flush, so the line is in the file at once (the loader's way).
  void WriteLine(std::string_view text);
  // The same for a label followed by a UTF-16 text written as UTF-8; nothing is converted while
  // the log is not open.
  void WriteLine(std::string_view label, std::u16string_view text);

  // Gives up this writer's share early; later writes do nothing.
  void Close();

 private:
  std::shared_ptr<std::ostream> stream_;
};

}  // namespace tolvane
