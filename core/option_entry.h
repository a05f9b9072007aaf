#pragma once

#include <optional>
#include <string_view>

namespace tolvane {

// One choice of a typed option as the front ends show it: the enumerator, its word on the
// command line and in reports and settings, and its label in the window.
template <typename Kind>
struct OptionEntry {
  Kind kind;
  std::string_view word;
  std::string_view label;
};

// The word of `kind` in a table of choices; empty when it is not there.
template <typename Kind, typename Table>
constexpr std::string_view WordIn(const Table& table, Kind kind) {
  for (const OptionEntry<Kind>& entry : table) {
    if (entry.kind == kind) {
      return entry.word;
    }
  }
  return {};
}

// The choice a word names in a table; nullopt when none does.
template <typename Kind, typename Table>
constexpr std::optional<Kind> KindIn(const Table& table, std::string_view word) {
  for (const OptionEntry<Kind>& entry : table) {
    if (entry.word == word) {
      return entry.kind;
    }
  }
  return std::nullopt;
}

}  // namespace tolvane
