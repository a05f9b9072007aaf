#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/analysis_history.h"
#include "core/game.h"
#include "core/text_decoder.h"
#include "evaluate/evaluation.h"
#include "predict/prediction_options.h"

namespace tolvane {

// The windows' Japanese words for what the command line and the files name in English: the
// places, the filters and frames, an evaluation's runs.

// A place of `game` by position, highest first (千の位 or 百の位 at 0); any other position: all
// of them at once (3桁すべて, 4桁すべて).
QString PlaceCaption(Game game, std::size_t place);
// The same from the machine-readable word (thousands, hundreds, tens, ones, all_three,
// all_four); an unknown word as it is.
QString PlaceCaption(std::string_view word);
// The main window's button labels: LPF, BPF, NONE.
QString FilterLabel(FilterKind kind);
// 先頭, 末尾, 中央, 先頭と末尾.
QString FrameLabel(FrameMode mode);
// "LPF 先頭"; a run without a frame is its filter alone ("NONE").
QString RunLabel(const RunOutcome& run);
// What to choose when a history reads in `suggested`: the file menu's encoding item, by name.
QString EncodingHint(TextEncoding suggested);
// The same for a history that reads as `suggested`: the file menu's game item, by name.
QString GameHint(Game suggested);
// 6500 as "6,500", whatever the locale, so a count reads the same on every system and as the
// yen amounts beside it.
QString Grouped(std::uint64_t value);
// A failed analysis load's box text: the prediction's wording, then the encoding hint if any.
QString LoadFailureText(const AnalysisHistory& load);

}  // namespace tolvane
