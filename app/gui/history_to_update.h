#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "app/gui/history_choice.h"
#include "history/history_update.h"

namespace tolvane {

// A history the window is about to add to, read as the command line reads it for `add` and
// `import --into`: loaded as a prediction loads it, then a regular file whose rounds go up line
// by line and whose draw lines have real dates.
struct HistoryToUpdate {
  bool ok = false;
  QString text;    // on failure: the box's text, in the window's words
  QString detail;  // on failure: the command line's reason
  HistoryContents contents;
};
// `command` names what refuses in the reason ("add", "import --into"), as on the command line.
HistoryToUpdate ReadHistoryToUpdate(const HistoryChoice& choice, const std::string& command);

// "第6501回〜第6502回", or "第6501回" for one.
QString RoundsName(std::int64_t first, std::int64_t last);

}  // namespace tolvane
