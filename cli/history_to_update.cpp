#include "cli/history_to_update.h"

#include <new>
#include <optional>

#include "app/history_update_checks.h"
#include "cli/exit_status.h"
#include "cli/history_argument.h"

namespace tolvane::cli {
namespace {

// Checks and converts the history at `path`: `bytes` as read, or (nullopt) its bytes read into
// `contents.bytes` first; see LoadHistoryToUpdate.
bool CheckToUpdate(const std::string& path, std::optional<std::string_view> bytes,
                   const LoadOptions& options, const std::string& command,
                   HistoryContents& contents, LoadReport& report, const char* encodingOption,
                   bool lastDrawOnly) {
  // The loader's check and the conversion read the same bytes at once, on two processors; their
  // failures are told in the same order as ever.
  ImportResult failure;
  bool converted = false;
  const auto convert = [&] {
    try {
      converted = ReadHistoryContents(bytes ? *bytes : std::string_view(contents.bytes), options,
                                      contents, failure, lastDrawOnly);
    } catch (const std::bad_alloc&) {
      failure.line = 0;
      failure.reason = "too large to convert in memory";
    }
  };
  if (bytes ? !CheckHistoryBytes(path, *bytes, report, options, encodingOption, convert)
            : !CheckHistoryFileBytes(path, contents.bytes, report, options, encodingOption,
                                     convert)) {
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

}  // namespace

bool LoadHistoryToUpdate(const std::string& path, const LoadOptions& options,
                         const std::string& command, HistoryContents& contents, LoadReport& report,
                         const char* encodingOption) {
  if (const std::string problem = UpdateTargetKindProblem(path, command); !problem.empty()) {
    Complain(problem);
    return false;
  }
  return CheckToUpdate(path, std::nullopt, options, command, contents, report, encodingOption,
                       false);
}

bool CheckHistoryToAppend(const std::string& path, std::string_view bytes,
                          const LoadOptions& options, const std::string& command,
                          HistoryContents& contents, LoadReport& report) {
  return CheckToUpdate(path, bytes, options, command, contents, report, "--encoding", true);
}

}  // namespace tolvane::cli
