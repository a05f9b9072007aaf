#include "core/shortest_text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tolvane {

std::string GeneralText(double value, int precision) {
  std::array<char, 48> text{};
  const int length = std::snprintf(text.data(), text.size(), "%.*g", precision, value);
  return {text.data(), static_cast<std::size_t>(length)};
}

// The shortest precision whose correctly rounded digits read back as `value`, laid out as
// std::to_chars does: plain or scientific notation, whichever is shorter, plain on a tie.
std::string PortableShortestText(double value) {
  if (std::isnan(value)) {
    return std::signbit(value) ? "-nan" : "nan";
  }
  if (std::isinf(value)) {
    return value < 0 ? "-inf" : "inf";
  }
  std::array<char, 48> text{};
  int length = 0;
  for (int precision = 0; precision <= 17; ++precision) {
    length = std::snprintf(text.data(), text.size(), "%.*e", precision, value);
    if (std::strtod(text.data(), nullptr) == value) {
      break;
    }
  }
  // "-d.ddde+XX": the sign, the digits and the exponent.
  const std::string scientificText(text.data(), static_cast<std::size_t>(length));
  const bool negative = scientificText.front() == '-';
  const std::size_t e = scientificText.find('e');
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
    if (scientificText[i] != '.') {
      digits.push_back(scientificText[i]);
    }
  }
  const auto exponent = static_cast<int>(std::strtol(scientificText.c_str() + e + 1, nullptr, 10));
  const int count = static_cast<int>(digits.size());
  std::string scientific = digits.substr(0, 1);
  if (count > 1) {
    scientific += '.' + digits.substr(1);
  }
  scientific += scientificText.substr(e);
  std::string plain;
  if (exponent >= count - 1) {
    // A whole number is written with all its digits exact, not the shortest ones padded with
    // zeros; as long either way, so only one shorter than the scientific form is written out.
    if (static_cast<std::size_t>(exponent) + 1 > scientific.size()) {
      return (negative ? "-" : "") + scientific;
    }
    const int whole = std::snprintf(text.data(), text.size(), "%.0f", std::fabs(value));
    plain.assign(text.data(), static_cast<std::size_t>(whole));
  } else if (exponent >= 0) {
    plain = digits.substr(0, static_cast<std::size_t>(exponent) + 1) + '.' +
            digits.substr(static_cast<std::size_t>(exponent) + 1);
  } else {
    plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  const std::string sign = negative ? "-" : "";
  return sign + (plain.size() <= scientific.size() ? plain : scientific);
}

}  // namespace tolvane
