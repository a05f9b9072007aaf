#pragma once

#include <QString>

#include "core/game.h"
#include "core/text_decoder.h"

namespace tolvane {

// The history the main window names, as the analysis windows load it: the path in its edit and
// the encoding and game chosen in its file menu.
struct HistoryChoice {
  QString path;
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
};

}  // namespace tolvane
