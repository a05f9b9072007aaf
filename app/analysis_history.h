#pragma once

#include <optional>
#include <string>

#include "core/text_decoder.h"
#include "history/draw_history.h"
#include "history/load_report.h"

namespace tolvane {

// How loading an analysis window's history went. On failure `text` and `caption` are the
// window's message box (the prediction's own wording) and `detail` says where and why, as the
// prediction's box does; `suggested` names the encoding that would read the file, for the
// window to point to.
struct AnalysisHistory {
  bool loaded = false;
  std::u16string text;
  std::u16string caption;
  std::string detail;
  LoadReport report;
  std::optional<TextEncoding> suggested;
};

// Loads the history at `path` (UTF-8) with the prediction's checks: no path, nothing at the path,
// then the loader with its options; a failed load suggests the other encoding when that reads the
// file (app/encoding_suggestion.h). Only the windows load so: their hint names their menu, not a
// command-line option.
AnalysisHistory LoadAnalysisHistory(const std::string& path, OwnedHistory& history,
                                    const LoadOptions& options = {});

}  // namespace tolvane
