#pragma once

#include <array>
#include <string_view>

namespace tolvane {

// The places of a winning number, highest first: their names in the machine-readable outputs
// (JSON, CSV, the command line's words) and their labels in the Japanese texts (UTF-8).
inline constexpr std::array<std::string_view, 3> kPlaceWords = {"hundreds", "tens", "ones"};
inline constexpr std::array<std::string_view, 3> kPlaceLabels = {"百の位", "十の位", "一の位"};

}  // namespace tolvane
