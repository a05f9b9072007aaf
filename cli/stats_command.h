#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_encodings.h"
#include "predict/prediction_options.h"

namespace tolvane::cli {

enum class StatsFormat { Text, Json, Csv };

// The first entry is the default.
inline constexpr std::array<OptionEntry<StatsFormat>, 3> kStatsFormats = {{
    {StatsFormat::Text, "text", ""},
    {StatsFormat::Json, "json", ""},
    {StatsFormat::Csv, "csv", ""},
}};

std::string_view Word(StatsFormat format);

struct StatsArguments {
  std::string history;
  std::optional<std::uint32_t> last;  // nullopt: every draw
  StatsFormat format = StatsFormat::Text;
  TextEncoding encoding = TextEncoding::kCp932;
};

// Adds `stats` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddStatsCommand(CLI::App& app, StatsArguments& args);

// Loads the history, computes the digit statistics and prints them, or says why there are none.
// Returns the exit status.
int RunStats(const StatsArguments& args);

}  // namespace tolvane::cli
