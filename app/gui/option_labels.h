#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

#include "app/analysis_history.h"
#include "core/text_decoder.h"
#include "evaluate/evaluation.h"
#include "predict/prediction_options.h"

namespace tolvane {

// The windows' Japanese words for what the command line and the files name in English: the
// places, the filters and frames, an evaluation's runs.

// 百の位, 十の位, 一の位 by position (0 hundreds); any other position: 3桁すべて.
QString PlaceLabel(std::size_t place);
// The same from the machine-readable word (hundreds, tens, ones, all_three).
QString PlaceLabel(std::string_view word);
// The main window's button labels: LPF, BPF, NONE.
QString FilterLabel(FilterKind kind);
// 先頭, 末尾, 中央, 先頭と末尾.
QString FrameLabel(FrameMode mode);
// "LPF 先頭"; a run without a frame is its filter alone ("NONE").
QString RunLabel(const RunOutcome& run);
// What to choose when a history reads in `suggested`: the file menu's encoding item, by name.
QString EncodingHint(TextEncoding suggested);
// A failed analysis load's box text: the prediction's wording, then the encoding hint if any.
QString LoadFailureText(const AnalysisHistory& load);

}  // namespace tolvane
