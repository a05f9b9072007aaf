#include "cli/history_to_update.h"

#include "app/history_update_checks.h"
#include "cli/exit_status.h"
#include "cli/history_argument.h"

namespace tolvane::cli {

bool LoadHistoryToUpdate(const std::string& path, const LoadOptions& options,
                         const std::string& command, HistoryContents& contents, LoadReport& report,
                         const char* encodingOption, bool lastDrawOnly) {
  if (const std::string problem = UpdateTargetKindProblem(path, command); !problem.empty()) {
    Complain(problem);
    return false;
  }
  // Read once: the bytes loaded and converted below are the very ones written after.
  if (!CheckHistoryFileBytes(path, contents.bytes, report, options, encodingOption)) {
    return false;
  }
  if (const std::string problem = UpdateTargetProblem(path, report, command); !problem.empty()) {
    Complain(problem);
    return false;
  }
  ImportResult failure;
  if (!ReadHistoryContents(options, contents, failure, lastDrawOnly)) {
    Complain(ImportFailureDetail(path, failure));
    return false;
  }
  return true;
}

}  // namespace tolvane::cli
