#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/game.h"
#include "core/text_decoder.h"

namespace tolvane {

// What a load found, beside its status code: on failure where and why, in words a user can act
// on (the diagnostic log keeps its own, more technical lines).
struct LoadReport {
  std::uint64_t line = 0;   // 1-based line of the failure, the header being line 1; 0: the file
  std::string reason;       // UTF-8; empty after a successful load
  std::uint64_t draws = 0;  // draw lines accepted

  // The rounds read. The analysis takes the draws in file order, so a file whose rounds do not
  // go up line by line (a newest-first download) deserves a warning.
  std::int32_t lowestRound = 0;   // meaningful when draws > 0
  std::int32_t highestRound = 0;  // meaningful when draws > 0
  // The first line whose round is not above the draw line's before it; 0: none.
  std::uint64_t firstOutOfOrderLine = 0;

  // Numbers 3 only: the first line whose winning number is longer than three characters (its
  // first three were used; 0: none), that field as written (UTF-8), and how many winning
  // numbers were exactly four digits. When every one was, the file is likely Numbers 4.
  std::uint64_t firstLongNumberLine = 0;
  std::string firstLongNumber;
  std::uint64_t fourDigitNumbers = 0;
  // Numbers 4 only: how many winning numbers were exactly three characters. When every one was,
  // the file is likely Numbers 3.
  std::uint64_t threeDigitNumbers = 0;
  std::uint64_t firstThreeDigitLine = 0;  // the first of them; 0: none
};

// How to read a history file.
struct LoadOptions {
  TextEncoding encoding = TextEncoding::kCp932;
  Game game = Game::kNumbers3;
};

// How a failure travels inside the loader: what() is the diagnostic log's text, `reason` the
// user's. `line` 0 means the file as a whole.
class LoadError : public std::runtime_error {
 public:
  LoadError(const std::string& logText, std::uint64_t line, std::string reason)
      : std::runtime_error(logText), line_(line), reason_(std::move(reason)) {}

  std::uint64_t line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  std::uint64_t line_;
  std::string reason_;
};

}  // namespace tolvane
