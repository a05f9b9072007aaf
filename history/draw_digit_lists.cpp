#include "history/draw_digit_lists.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace tolvane {

void DrawDigitLists::Append(const std::array<std::uint8_t, 3>& digits) {
  if (size() >= maxDraws_) {
    throw std::length_error("too many draw lines (at most " + std::to_string(maxDraws_) + ")");
  }
  digits_.insert(digits_.end(), digits.begin(), digits.end());
}

void DrawDigitLists::CommitTo(WAData& hundreds, WAData& tens, WAData& ones) const {
  const std::size_t count = digits_.size() / 3;
  std::array<std::unique_ptr<double[]>, 3> arrays;
  for (auto& array : arrays) {
    array = std::make_unique_for_overwrite<double[]>(count);
  }
  for (std::size_t draw = 0; draw < count; ++draw) {
    for (std::size_t place = 0; place < 3; ++place) {
      arrays[place][draw] = digits_[draw * 3 + place];
    }
  }
  const std::array<WAData*, 3> records = {&hundreds, &tens, &ones};
  for (std::size_t place = 0; place < 3; ++place) {
    delete[] records[place]->data;
    records[place]->data = arrays[place].release();
    records[place]->size = static_cast<std::uint32_t>(count);
    records[place]->rate = 1;
  }
}

}  // namespace tolvane
