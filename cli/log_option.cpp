#include "cli/log_option.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/exit_status.h"

namespace tolvane::cli {

bool LogOption::Open() {
  if (path_.empty()) {
    return true;
  }
  log_ = std::make_unique<DiagnosticLog>(path_);
  if (!log_->IsOpen()) {
    struct stat info {};
    const bool fifo = ::stat(path_.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    Complain("cannot open the log file " + path_ + ": " +
             (fifo && log_->OpenError() == ENXIO ? "it is a FIFO with no reader"
                                                 : std::strerror(log_->OpenError())));
    return false;
  }
  return true;
}

bool LogOption::CheckWritten() {
  if (log_ == nullptr) {
    return true;
  }
  log_->Flush();
  if (log_->WriteError() == 0) {
    return true;
  }
  Complain("the log file " + path_ + " could not be written: " + std::strerror(log_->WriteError()));
  return false;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace tolvane::cli
