#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "predict/prediction_options.h"

namespace tolvane::cli {

// The words of a comma-separated list, empty ones included ("a,,b" has three).
inline std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> words;
  std::string::size_type start = 0;
  while (true) {
    const std::string::size_type comma = list.find(',', start);
    words.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) {
      return words;
    }
    start = comma + 1;
  }
}

// An option that takes one word of a table, a comma-separated list of them, or `all` for the
// whole table in its own order; the kinds are stored in the order given, repeats and all.
template <typename Kind, std::size_t N>
CLI::Option* AddWordListOption(CLI::App& command, const std::string& name,
                               std::vector<Kind>& values,
                               const std::array<OptionEntry<Kind>, N>& table,
                               const std::string& description) {
  std::string choices;
  for (const OptionEntry<Kind>& entry : table) {
    choices += std::string(entry.word) + ", ";
  }
  const auto kindsOf = [&table](const std::string& word) {
    std::vector<Kind> kinds;
    for (const OptionEntry<Kind>& entry : table) {
      if (word == "all" || entry.word == word) {
        kinds.push_back(entry.kind);
      }
    }
    return kinds;
  };
  std::string shown;
  for (const Kind kind : values) {
    shown += (shown.empty() ? "" : ",") + std::string(Word(kind));
  }
  return command
      .add_option_function<std::string>(
          name,
          [&values, kindsOf](const std::string& list) {
            values.clear();
            for (const std::string& word : SplitList(list)) {
              const std::vector<Kind> kinds = kindsOf(word);
              values.insert(values.end(), kinds.begin(), kinds.end());
            }
          },
          description + ": " + choices + "a comma-separated list of them, or all")
      ->check(CLI::Validator(
          [kindsOf](const std::string& list) {
            for (const std::string& word : SplitList(list)) {
              if (kindsOf(word).empty()) {
                return "\"" + word + "\" is not a choice";
              }
            }
            return std::string();
          },
          "", "word list"))
      ->type_name("LIST")
      ->default_str(shown);
}

}  // namespace tolvane::cli
