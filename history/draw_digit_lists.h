#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "history/wa_data.h"

namespace tolvane {

// The digits of the accepted draw lines, three bytes a draw, held until the whole file has
// passed its checks; only then do they become the caller's series.
class DrawDigitLists {
 public:
  // A series' size is 32-bit, so more draws than that cannot be handed over.
  explicit DrawDigitLists(std::uint64_t maxDraws = std::numeric_limits<std::uint32_t>::max())
      : maxDraws_(maxDraws) {}

  // Throws std::length_error once the series would outgrow their size field.
  void Append(const std::array<std::uint8_t, 3>& digits);

  std::uint64_t size() const { return digits_.size() / 3; }

  // Gives each record a new array of the digits (size = draws, rate 1) and frees its old one.
  // Every allocation happens before the first record changes, so a failure leaves all three
  // as they were.
  void CommitTo(WAData& hundreds, WAData& tens, WAData& ones) const;

 private:
  std::uint64_t maxDraws_;
  std::vector<std::uint8_t> digits_;  // hundreds, tens, ones of draw 0, then of draw 1, ...
};

}  // namespace tolvane
