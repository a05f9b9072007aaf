#include "cli/last_option.h"

#include <limits>

namespace tolvane::cli {
namespace {

bool IsWholeNumberAtLeastOne(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos &&
         text.find_first_not_of('0') != std::string::npos;
}

// The digits' value, saturated at the largest count a history can hold.
std::uint32_t SaturatedCount(const std::string& digits) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (const char digit : digits) {
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(digit - '0'), kMost);
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

CLI::Option* AddLastOption(CLI::App& command, std::optional<std::uint32_t>& last,
                           const std::string& description) {
  return command
      .add_option_function<std::string>(
          "--last", [&last](const std::string& text) { last = SaturatedCount(text); }, description)
      ->type_name("N")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return IsWholeNumberAtLeastOne(text)
                       ? std::string()
                       : "\"" + text + "\" is not a whole number of at least 1";
          },
          "", "at least 1"));
}

}  // namespace tolvane::cli
