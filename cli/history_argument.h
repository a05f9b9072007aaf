#pragma once

#include <string>

#include "history/draw_history.h"

namespace tolvane::cli {

// Loads a command's HISTORY argument exactly as predict does: the same checks, the same loader,
// and on failure the same lines on standard error (the window's text, then "tolvane-cli: "
// and where and why). False after a failure.
bool LoadHistoryArgument(const std::string& path, OwnedHistory& history, LoadReport& report);

// Why nothing exists at a path, in the system's words ("No such file or directory").
std::string MissingPathReason(const std::string& path);

}  // namespace tolvane::cli
