#pragma once

#include <array>
#include <string_view>

#include "core/game.h"

namespace tolvane {

// The places of a Numbers 3 winning number, highest first: their names in the machine-readable
// outputs and their labels in the Japanese texts (UTF-8).
inline constexpr std::array<std::string_view, 3> kPlaceWords = {
    PlaceWord(Game::kNumbers3, 0), PlaceWord(Game::kNumbers3, 1), PlaceWord(Game::kNumbers3, 2)};
inline constexpr std::array<std::string_view, 3> kPlaceLabels = {
    PlaceLabel(Game::kNumbers3, 0), PlaceLabel(Game::kNumbers3, 1), PlaceLabel(Game::kNumbers3, 2)};

}  // namespace tolvane
