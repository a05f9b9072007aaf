#pragma once

#include <string>

namespace tolvane::cli {

// A HISTORY argument as the loader opens it. "-" is standard input: its bytes are copied into an
// anonymous in-memory file first, so the load and the second look of the UTF-8 hint read it like
// any other file. Any other argument is used as it is.
class HistorySource {
 public:
  explicit HistorySource(std::string argument);
  ~HistorySource();
  HistorySource(const HistorySource&) = delete;
  HistorySource& operator=(const HistorySource&) = delete;

  // Copies standard input for "-"; on failure says why on standard error and returns false.
  bool Open();

  // The path the loader opens.
  const std::string& Path() const { return path_; }
  // The name messages give it: the argument, or "(standard input)".
  const std::string& Name() const { return name_; }

  static bool IsStandardInput(const std::string& argument) { return argument == "-"; }

 private:
  std::string argument_;
  std::string path_;
  std::string name_;
  int copy_ = -1;  // the in-memory copy of standard input
};

}  // namespace tolvane::cli
