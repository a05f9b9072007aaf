#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "predict/prediction_options.h"

namespace tolvane::cli {

// How a command prints its result: text for a person, JSON or CSV for programs.
enum class OutputFormat { Text, Json, Csv };

// The first entry is the default.
inline constexpr std::array<OptionEntry<OutputFormat>, 3> kOutputFormats = {{
    {OutputFormat::Text, "text", ""},
    {OutputFormat::Json, "json", ""},
    {OutputFormat::Csv, "csv", ""},
}};

std::string_view Word(OutputFormat format);

// "12,970,000": a whole number with its thousands set apart, as the text outputs write yen.
inline std::string Grouped(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits;
}

// --format text|json|csv, described as the command prints each.
CLI::Option* AddFormatOption(CLI::App& command, OutputFormat& format,
                             const std::string& description);

}  // namespace tolvane::cli
