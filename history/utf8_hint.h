#pragma once

#include <string>

#include "history/load_report.h"

namespace tolvane {

inline constexpr char kUtf8HintText[] = "; the file looks like UTF-8: try --encoding utf-8";

// After a failed load: when code page 932 failed on a line and the whole file is valid UTF-8
// with non-ASCII bytes, the file was most likely saved as UTF-8, so the reason says what to try.
// Reads the file a second time, and only a regular file (a pipe's bytes are gone, and opening a
// FIFO could wait for ever). Never throws; without a hint the report stays as it was.
void AddUtf8Hint(const std::string& path, const LoadOptions& options, LoadReport& report);

// True when the regular file at `path` decodes as strict UTF-8 and holds a non-ASCII character.
bool LooksLikeUtf8(const std::string& path);

}  // namespace tolvane
