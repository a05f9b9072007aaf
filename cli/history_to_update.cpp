#include "cli/history_to_update.h"

#include <sys/stat.h>

#include "cli/exit_status.h"
#include "cli/history_argument.h"

namespace tolvane::cli {

bool LoadHistoryToUpdate(const std::string& path, const LoadOptions& options,
                         const std::string& command, HistoryContents& contents,
                         LoadReport& report) {
  OwnedHistory history;
  if (!LoadHistoryArgument(path, history, report, options.encoding, options.game, false)) {
    return false;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Complain(path + ": is not a regular file; " + command + " rewrites a file");
    return false;
  }
  if (report.firstOutOfOrderLine != 0) {
    Complain(path + ":" + std::to_string(report.firstOutOfOrderLine) +
             ": the rounds stop going up at this line; " + command +
             " keeps an oldest-first history only (import converts the others)");
    return false;
  }
  ImportResult failure;
  if (!ReadHistoryContents(path, options, contents, failure)) {
    Complain(ImportFailureDetail(path, failure));
    return false;
  }
  return true;
}

}  // namespace tolvane::cli
