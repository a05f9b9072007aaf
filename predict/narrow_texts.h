#pragma once

#include <string_view>

namespace tolvane {

// The analysis side's Japanese texts, kept as code page 932 bytes like the history files they
// come beside; the front ends decode them for display. Written as escapes so the bytes cannot
// change with the editor's encoding.

// "パワースペクトル予想: " (22 bytes, ending in a colon and a blank).
inline constexpr std::string_view kPowerSpectrumPrefix =
    "\x83\x70\x83\x8f\x81\x5b\x83\x58\x83\x79\x83\x4e\x83\x67\x83\x8b\x97\x5c\x91\x7a: ";

// Place labels "千の位", "百の位", "十の位", "一の位" (6 bytes each).
inline constexpr std::string_view kPlaceThousands = "\x90\xe7\x82\xcc\x88\xca";
inline constexpr std::string_view kPlaceHundreds = "\x95\x53\x82\xcc\x88\xca";
inline constexpr std::string_view kPlaceTens = "\x8f\x5c\x82\xcc\x88\xca";
inline constexpr std::string_view kPlaceOnes = "\x88\xea\x82\xcc\x88\xca";

}  // namespace tolvane
