#include "history/draw_line.h"

#include <stdexcept>
#include <string>

#include "history/cp932.h"
#include "history/draw_checks.h"

namespace tolvane {
namespace {

// "<label><n> (<n>)": the trace shows a character's code twice.
std::string CharacterLine(const char* label, char16_t unit) {
  const std::string code = std::to_string(static_cast<unsigned>(unit));
  return label + code + " (" + code + ")";
}

void Trace(DiagnosticLog* log, const char* label, std::u16string_view text) {
  if (log != nullptr) {
    log->WriteLine(label + Utf16ToUtf8(text));
  }
}

}  // namespace

std::array<std::uint8_t, 3> CheckDrawLine(const DrawFields& fields, DiagnosticLog* log) {
  const std::u16string_view round = fields[0];
  if (log != nullptr) {
    log->WriteLine("Extracting round number from: " + Utf16ToUtf8(round));
    // An empty round has no first or last character; it shows as 0 and fails the shape check.
    log->WriteLine(CharacterLine("Front character: ", round.empty() ? 0 : round.front()));
    log->WriteLine(CharacterLine("Back character: ", round.empty() ? 0 : round.back()));
  }
  if (!HasRoundShape(round)) {
    Trace(log, "Error: Invalid round number format: ", round);
    throw std::invalid_argument("Invalid round number format");
  }
  const std::u16string_view number = round.substr(1, round.size() - 2);
  Trace(log, "Converted round number to integer: ", number);
  static_cast<void>(ParseRoundNumber(number));  // checked only; the order of lines is the file's

  if (!IsDrawDate(fields[1])) {
    Trace(log, "Error: Invalid date format: ", fields[1]);
    throw std::invalid_argument("Invalid date format");
  }

  const auto digits = ReadWinningNumber(fields[3]);
  if (!digits) {
    Trace(log, "Error: Invalid winning number format: ", fields[3]);
    throw std::invalid_argument("Invalid winning number format");
  }
  return *digits;
}

}  // namespace tolvane
