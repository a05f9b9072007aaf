#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test_support {

// UTF-8 text in code page 932 bytes; throws std::runtime_error when a character has no code
// page 932 form.
std::string Utf8ToCp932(std::string_view utf8);

// Writes a history file named `name` in `dir` from UTF-8 lines, each converted to code page 932
// and ended by `lineEnd`, and returns its path. The first line is the header.
std::string WriteHistoryFile(const TempDir& dir, const std::vector<std::string>& utf8Lines,
                             std::string_view lineEnd = "\n",
                             std::string_view name = "history.csv");

}  // namespace tolvane::test_support
