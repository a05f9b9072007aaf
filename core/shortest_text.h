#pragma once

#include <array>
#include <charconv>
#include <string>
#include <system_error>

namespace tolvane {

// ShortestText's result written with printf and strtod alone, for C++ libraries without a
// floating-point std::to_chars (the browser build's); the tests hold it to std::to_chars.
std::string PortableShortestText(double value);
// printf's "%.*g": what std::to_chars with general format and a precision writes.
std::string GeneralText(double value, int precision);

// The fewest digits that read back as the same double, as the machine-readable outputs write
// every double.
inline std::string ShortestText(double value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  std::array<char, 32> text{};
  const std::to_chars_result written = std::to_chars(text.data(), text.data() + text.size(), value);
  return written.ec == std::errc() ? std::string(text.data(), written.ptr) : std::string("nan");
#else
  return PortableShortestText(value);
#endif
}

}  // namespace tolvane
