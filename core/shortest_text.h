#pragma once

#include <array>
#include <charconv>
#include <string>
#include <system_error>

namespace tolvane {

// The fewest digits that read back as the same double, as the machine-readable outputs write
// every double.
inline std::string ShortestText(double value) {
  std::array<char, 32> text{};
  const std::to_chars_result written = std::to_chars(text.data(), text.data() + text.size(), value);
  return written.ec == std::errc() ? std::string(text.data(), written.ptr) : std::string("nan");
}

}  // namespace tolvane
