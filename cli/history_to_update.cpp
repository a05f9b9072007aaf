#include "cli/history_to_update.h"

#include "app/history_update_checks.h"
#include "cli/exit_status.h"
#include "cli/history_argument.h"

namespace tolvane::cli {

bool LoadHistoryToUpdate(const std::string& path, const LoadOptions& options,
                         const std::string& command, HistoryContents& contents, LoadReport& report,
                         const char* encodingOption) {
  if (const std::string problem = UpdateTargetKindProblem(path, command); !problem.empty()) {
    Complain(problem);
    return false;
  }
  {
    // The series are only checked here: they go before the file's bytes come in.
    OwnedHistory history;
    if (!LoadHistoryArgument(path, history, report, options.encoding, options.game, false, nullptr,
                             encodingOption)) {
      return false;
    }
  }
  if (const std::string problem = UpdateTargetProblem(path, report, command); !problem.empty()) {
    Complain(problem);
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
