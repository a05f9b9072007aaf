#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "core/option_entry.h"

namespace tolvane {

// The two games drawn on the same days with the same rounds: Numbers 3 (a three-digit winning
// number: hundreds, tens, ones) and Numbers 4 (four digits, thousands first). Everything that
// is done per place is the same for both; only the number of places differs.
enum class Game { kNumbers3, kNumbers4 };

// The first entry is the default.
inline constexpr std::array<OptionEntry<Game>, 2> kGames = {{
    {Game::kNumbers3, "numbers3", "ナンバーズ3"},
    {Game::kNumbers4, "numbers4", "ナンバーズ4"},
}};

inline constexpr std::string_view Word(Game game) { return WordIn(kGames, game); }
inline constexpr std::optional<Game> GameFromWord(std::string_view word) {
  return KindIn<Game>(kGames, word);
}

inline constexpr int kMaxPlaces = 4;

// 3 or 4.
inline constexpr int PlaceCount(Game game) { return game == Game::kNumbers4 ? 4 : 3; }

// Every place highest first, as the machine-readable outputs (JSON, CSV) and the Japanese texts
// (UTF-8) name them; a game's places are the last PlaceCount of them.
inline constexpr std::array<std::string_view, kMaxPlaces> kAllPlaceWords = {"thousands", "hundreds",
                                                                            "tens", "ones"};
inline constexpr std::array<std::string_view, kMaxPlaces> kAllPlaceLabels = {"千の位", "百の位",
                                                                             "十の位", "一の位"};

// Place `place` (0: the highest) of a game's winning number.
inline constexpr std::string_view PlaceWord(Game game, int place) {
  return kAllPlaceWords[static_cast<std::size_t>(kMaxPlaces - PlaceCount(game)) +
                        static_cast<std::size_t>(place)];
}
inline constexpr std::string_view PlaceLabel(Game game, int place) {
  return kAllPlaceLabels[static_cast<std::size_t>(kMaxPlaces - PlaceCount(game)) +
                         static_cast<std::size_t>(place)];
}

}  // namespace tolvane
