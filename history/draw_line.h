#pragma once

#include <array>
#include <cstdint>

#include "history/diagnostic_log.h"
#include "history/draw_fields.h"

namespace tolvane {

// Checks one draw line that has at least four fields: the round (field 0), the date (field 1)
// and the winning number (field 3), tracing each step to `log` when it is given. Returns the
// hundreds, tens and ones digit; a failed check is logged and then thrown as a standard
// exception whose message names it ("Invalid round number format", "invalid stoi argument",
// "stoi argument out of range", "Invalid date format", "Invalid winning number format").
std::array<std::uint8_t, 3> CheckDrawLine(const DrawFields& fields, DiagnosticLog* log);

}  // namespace tolvane
