#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace tolvane {

// The optional append-mode trace of one run. Every operation that logs opens its own
// DiagnosticLog on the path it was given; writers that have the same path open at the same time
// share one buffer, so their lines reach the file in the order they were written even though a
// predictor keeps its log open while the engine writes through another. The file is closed when
// the last writer lets go.
//
// The file is opened with O_APPEND and the kernel is only ever handed whole lines (a write may
// carry many lines, never part of one), so runs that append to one log at the same time
// interleave by lines, never inside one. Every line is UTF-8.
//
// An empty or unusable path gives a log that is not open: every write does nothing. Numbers use
// the classic locale and the stream's default format (six significant digits), which no writer
// changes. A failed write loses that text but not the run; WriteError() tells it afterwards.
class DiagnosticLog {
 public:
  explicit DiagnosticLog(const std::string& logPath);
  ~DiagnosticLog();

  DiagnosticLog(const DiagnosticLog&) = delete;
  DiagnosticLog& operator=(const DiagnosticLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // Why the log could not be opened: an errno value, 0 when it is open or no path was given.
  int OpenError() const { return openError_; }

  template <typename T>
  DiagnosticLog& operator<<(const T& value) {
    if (file_) {
      Append(value);
      WroteText();
    }
    return *this;
  }

  // The text, a line feed, then straight to the file, so the line is there at once (the
  // loader's way: its trace must survive a crash).
  void WriteLine(std::string_view text);
  // The same for a label followed by a UTF-16 text written as UTF-8; nothing is converted while
  // the log is not open (checked here, inline: the loader calls this for every line).
  void WriteLine(std::string_view label, std::u16string_view text) {
    if (file_) {
      WriteConverted(label, text);
    }
  }

  // Hands every text held for this file to the kernel now.
  void Flush();
  // The errno of the first write to this file that failed while it was open, or 0.
  int WriteError() const;

  // Gives up this writer's share early; later writes do nothing.
  void Close();

  struct File;  // the open file shared by every writer of one path

 private:
  void WriteConverted(std::string_view label, std::u16string_view text);
  // Text goes in as it is, numbers as a default-formatted stream in the classic locale would
  // write them (six significant digits), without a stream: an engine's value line holds a
  // series' every value.
  void AppendText(std::string_view text);
  void AppendDouble(double value);
  void AppendInteger(long long value);
  void AppendInteger(unsigned long long value);
  std::ostream& Formatter();  // for any other type

  template <typename T>
  void Append(const T& value) {
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
      AppendText(std::string_view(value));
    } else if constexpr (std::is_same_v<T, char> || std::is_same_v<T, signed char> ||
                         std::is_same_v<T, unsigned char>) {
      const char c = static_cast<char>(value);  // a stream writes these as characters
      AppendText(std::string_view(&c, 1));
    } else if constexpr (std::is_same_v<T, bool>) {
      AppendText(value ? "1" : "0");
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
      AppendInteger(static_cast<long long>(value));
    } else if constexpr (std::is_integral_v<T>) {
      AppendInteger(static_cast<unsigned long long>(value));
    } else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, float>) {
      AppendDouble(static_cast<double>(value));
    } else {
      std::ostream& stream = Formatter();
      stream << value;
      AppendFormatted();
    }
  }
  void AppendFormatted();
  void WroteText();

  std::shared_ptr<File> file_;
  int openError_ = 0;
};

}  // namespace tolvane
