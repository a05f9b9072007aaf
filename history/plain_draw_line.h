#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/text_decoder.h"
#include "history/draw_line.h"

namespace tolvane {

// Checks the draw line nearly every history is made of straight from its bytes, without decoding
// or splitting it: 第<one to nine digits>回,<date>,<anything>,<winning number>[,...], with no
// double quote and no carriage return but one at the end. A line of that shape is accepted only
// when the general way (decode, split, CheckDrawLine) would accept it with the same digits and
// round; every other line is left to the general way, which also words what is wrong with it.
//
// Why judging bytes is exact: the round and the date are matched as bytes that the decoder itself
// turns into 第, 回, digits, "/" and ",", each a whole character where it starts (a byte that
// decodes alone is never the start of a longer character in a stateless encoding), so a match
// reads the same as the decoded text would. Field 2 is decoded alone (once for each distinct
// value) and must hold no comma, quote or carriage return; the winning number after it must be
// plain digits to the line's end. Any other rest of the line is decoded and judged as the general
// way judges it. Whether the line decodes at all stays the decoder's decision.
class PlainDrawLines {
 public:
  // Checks lines in `encoding`, read with `decoder`. Check accepts nothing unless the decoder
  // turns that encoding's 第 and 回 into exactly those characters, and the ASCII digits, "/" and
  // "," into themselves.
  // `places`: the game's digits, 3 or 4 (as CheckDrawLine takes them).
  PlainDrawLines(TextDecoder& decoder, TextEncoding encoding, int places = 3);

  // Whether `line` (its bytes up to the line feed) is of the plain shape, with its draw in
  // `draw` then. (Written straight into the caller's draw: a draw returned in an optional was
  // assembled in memory and read back whole, a store-forwarding stall on every line.)
  bool Check(std::string_view line, CheckedDraw& draw);

  // What Check read of the line it accepted last, for a caller that judges more of it.
  struct Shape {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    // The winning number's digits when they end the line (but for a carriage return); 0 when
    // more follows, or the line's rest had to be decoded.
    std::size_t lastFieldDigits = 0;
  };
  const Shape& LastShape() const { return shape_; }

 private:
  // PackedWinningNumber's word for the line from field 2 on, or kNoNumber.
  std::uint32_t WinningNumber(const char* at, const char* end);
  std::uint32_t DecodedWinningNumber(const char* at, const char* end);
  // Whether field 2's bytes decode, alone, to text without a comma, a quote or a carriage return.
  // Remembered: the decoder is asked once for each distinct field 2 while no more than eight
  // have been met.
  bool IsKnownField2(std::string_view bytes);

  // Field 2's bytes and size in one word each (see IsKnownField2).
  std::array<std::uint64_t, 8> knownField2_{};
  std::size_t knownField2Count_ = 0;
  std::size_t knownField2Next_ = 0;

  Shape shape_;
  TextDecoder& decoder_;
  std::string_view roundFirst_;
  std::string_view roundLast_;
  bool ready_ = false;
  int places_ = 3;
};

}  // namespace tolvane
