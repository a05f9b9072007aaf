#include "cli/history_to_update.h"

#include <new>

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
  // Read once: the bytes loaded and converted are the very ones written after. Both read them
  // at once, on two processors; their failures are told in the same order as ever.
  ImportResult failure;
  bool converted = false;
  const auto convert = [&options, &contents, &failure, &converted, lastDrawOnly] {
    try {
      converted = ReadHistoryContents(options, contents, failure, lastDrawOnly);
    } catch (const std::bad_alloc&) {
      failure.line = 0;
      failure.reason = "too large to convert in memory";
    }
  };
  if (!CheckHistoryFileBytes(path, contents.bytes, report, options, encodingOption, convert)) {
    return false;
  }
  if (const std::string problem = UpdateTargetProblem(path, report, command); !problem.empty()) {
    Complain(problem);
    return false;
  }
  if (!converted) {
    Complain(ImportFailureDetail(path, failure));
    return false;
  }
  return true;
}

}  // namespace tolvane::cli
