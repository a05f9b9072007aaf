#pragma once

#include <string_view>

namespace tolvane {

// The analysis side's Japanese texts, stored as code page 932 bytes because the history file, the
// log and the original result texts all use that encoding; the front ends decode them for display.
// Written as escapes so the bytes cannot change with the editor's encoding.

// "パワースペクトル予想: " (22 bytes, ending in a colon and a blank).
inline constexpr std::string_view kPowerSpectrumPrefix =
    "\x83\x70\x83\x8f\x81\x5b\x83\x58\x83\x79\x83\x4e\x83\x67\x83\x8b\x97\x5c\x91\x7a: ";

// Place labels "百の位", "十の位", "一の位" (6 bytes each).
inline constexpr std::string_view kPlaceHundreds = "\x95\x53\x82\xcc\x88\xca";
inline constexpr std::string_view kPlaceTens = "\x8f\x5c\x82\xcc\x88\xca";
inline constexpr std::string_view kPlaceOnes = "\x88\xea\x82\xcc\x88\xca";

// "ナンバーズ3データの読み込みに失敗しました。": the text of a failed load.
inline constexpr std::string_view kLoadFailedText =
    "\x83\x69\x83\x93\x83\x6f\x81\x5b\x83\x59\x33\x83\x66\x81\x5b\x83\x5e\x82\xcc\x93\xc7\x82\xdd"
    "\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";

}  // namespace tolvane
