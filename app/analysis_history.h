#pragma once

#include <string>

#include "history/draw_history.h"
#include "history/load_report.h"

namespace tolvane {

// How loading an analysis window's history went. On failure `text` and `caption` are the
// window's message box (the prediction's own wording) and `detail` says where and why, as the
// prediction's box does.
struct AnalysisHistory {
  bool loaded = false;
  std::u16string text;
  std::u16string caption;
  std::string detail;
  LoadReport report;
};

// Loads the history at `path` (UTF-8) with the prediction's checks: no path, nothing at the path,
// then the loader with its options, a failure carrying the UTF-8 hint as the prediction's does.
AnalysisHistory LoadAnalysisHistory(const std::string& path, OwnedHistory& history,
                                    const LoadOptions& options = {});

}  // namespace tolvane
