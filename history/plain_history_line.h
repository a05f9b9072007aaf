#pragma once

#include <cstddef>
#include <string_view>

#include "core/game.h"
#include "core/text_decoder.h"
#include "history/plain_draw_line.h"

namespace tolvane {

// Judges a history's draw lines for the converter straight from their bytes, as PlainDrawLines
// does for the loader: a line of the plain shape 第N回,YYYY/M/D,<field 2>,<digits> (a carriage
// return at most at its end) whose date is a day of the calendar and whose number has no more
// digits than the game's places is one the general way (decode, split, ReadDraw with the history's
// columns 0, 1 and 3) accepts. Every other line is left to the general way, which words what is
// wrong with it. Only for a source whose header puts no payout column before field 4: a plain
// line has no field there.
class PlainHistoryLines {
 public:
  PlainHistoryLines(TextDecoder& decoder, TextEncoding encoding, Game game);

  // No line longer than this is accepted (a plain line is far shorter), so a caller may keep the
  // last one in a buffer of this size.
  static constexpr std::size_t kMostBytes = 64;

  // The digits of the line's winning number (1 to the game's places) when the general way is
  // sure to accept `line` (its bytes up to the line feed); 0 when it must take the general way.
  std::size_t Accepts(std::string_view line);

 private:
  PlainDrawLines plain_;
  std::size_t places_;
};

}  // namespace tolvane
