#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::cli {

// --last N, the same for every command that takes it: a whole number of at least 1, in plain
// digits. More draws than a history holds means all of them, however large N is (past 32 or
// even 64 bits), so N is kept at most 4294967295, more than any history holds.
CLI::Option* AddLastOption(CLI::App& command, std::optional<std::uint32_t>& last,
                           const std::string& description);

}  // namespace tolvane::cli
