#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <string>
#include <vector>

#include "predict/prediction_options.h"

namespace tolvane::cli {

// An option that takes exactly the words of one table of choices and stores the typed value.
// Only the words count: CLI11's own enum conversion would also take the underlying integers.
template <typename Kind, std::size_t N>
CLI::Option* AddWordOption(CLI::App& command, const std::string& name, Kind& value,
                           const std::array<OptionEntry<Kind>, N>& table,
                           const std::string& description) {
  std::vector<std::string> words;
  words.reserve(N);
  for (const OptionEntry<Kind>& entry : table) {
    words.emplace_back(entry.word);
  }
  return command
      .add_option_function<std::string>(
          name,
          [&value, &table](const std::string& word) {
            for (const OptionEntry<Kind>& entry : table) {
              if (entry.word == word) {
                value = entry.kind;
              }
            }
          },
          description)
      ->check(CLI::IsMember(words))
      ->default_str(std::string(Word(value)));
}

}  // namespace tolvane::cli
