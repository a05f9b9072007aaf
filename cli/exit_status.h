#pragma once

#include <iostream>
#include <string_view>

namespace tolvane::cli {

// The exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// One detail line on standard error, prefixed with the program's name so it can be told from the
// window's own texts and from other programs' output in a pipeline.
inline void Complain(std::string_view line) { std::cerr << "tolvane-cli: " << line << '\n'; }

}  // namespace tolvane::cli
