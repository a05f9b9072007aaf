#pragma once

#include <memory>
#include <string>

#include "core/diagnostic_log.h"

namespace tolvane::cli {

// The --log file, held open for the whole run: every writer of the run shares it, and afterwards
// it tells whether any write failed.
class LogOption {
 public:
  // No log at all for an empty path.
  explicit LogOption(std::string path) : path_(std::move(path)) {}

  // Opens the log for appending; on failure says why on standard error and returns false.
  bool Open();
  // After the run: writes out what is held, then returns false, after saying so on standard
  // error, when any write failed.
  bool CheckWritten();

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<DiagnosticLog> log_;
};

// True when both paths name one existing file (same device and inode), whatever the spelling.
bool SameFile(const std::string& first, const std::string& second);

}  // namespace tolvane::cli
