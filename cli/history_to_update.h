#pragma once

#include <string>
#include <string_view>

#include "history/history_update.h"
#include "history/load_report.h"

namespace tolvane::cli {

// Loads a history a command is about to rewrite (add, import --into): as predict loads it, with
// the same failure lines; then it must be a regular file (or a link to one), its rounds must go
// up line by line, and its draw lines must have real dates. False after saying why on standard
// error; `command` names the command in the reason for an order it cannot keep.
// `encodingOption` is the option a hint about the history's encoding names. The file is read
// once: `contents.bytes` are the bytes checked.
bool LoadHistoryToUpdate(const std::string& path, const LoadOptions& options,
                         const std::string& command, HistoryContents& contents, LoadReport& report,
                         const char* encodingOption = "--encoding");

// The same for the bytes of the history at `path` already in memory, for adding one draw at its
// end: `contents.bytes` stays empty, and `contents.draws` holds only the last draw.
bool CheckHistoryToAppend(const std::string& path, std::string_view bytes,
                          const LoadOptions& options, const std::string& command,
                          HistoryContents& contents, LoadReport& report);

}  // namespace tolvane::cli
