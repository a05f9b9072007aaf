#include "cli/history_argument.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "app/messages.h"
#include "app/prediction_command.h"
#include "cli/exit_status.h"
#include "core/utf.h"

namespace tolvane::cli {

std::string MissingPathReason(const std::string& path) {
  struct stat info {};
  return std::strerror(::stat(path.c_str(), &info) == 0 ? ENOENT : errno);
}

bool LoadHistoryArgument(const std::string& path, OwnedHistory& history, LoadReport& report) {
  if (path.empty()) {
    std::cerr << Utf16ToUtf8(kEmptyPathText) << '\n';
    return false;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    std::cerr << Utf16ToUtf8(kMissingPathText) << '\n';
    Complain(path + ": " + MissingPathReason(path));
    return false;
  }
  DrawHistory& draws = history.get();
  if (LoadDrawHistory(path, draws.hundreds, draws.tens, draws.ones, "", &report) != kLoadOk) {
    std::cerr << Utf16ToUtf8(std::u16string(kErrorPrefix) + kLoadFailedText) << '\n';
    Complain(LoadFailureDetail(path, report));
    return false;
  }
  return true;
}

}  // namespace tolvane::cli
