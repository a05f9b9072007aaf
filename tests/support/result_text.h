#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace tolvane::test {

// The result text a prediction shows for `round`, one prediction per place (hundreds, tens,
// ones), in UTF-8.
inline std::string ResultText(const std::string& round, const std::array<std::string, 3>& places) {
  return "予測回号: 第" + round + "回\n\n予想数字\n\n百の位：\n" + places[0] + "\n\n十の位：\n" +
         places[1] + "\n\n一の位：\n" + places[2];
}

// The result for a history of RepeatedDrawLines(number, ...): each place ranks its own digit
// first, then the other nine ascending.
inline std::string RepeatedDrawResult(const std::string& round, const std::string& number) {
  std::array<std::string, 3> places;
  for (std::size_t place = 0; place < 3; ++place) {
    places[place] = std::string("パワースペクトル予想: ") + number[place];
    for (char digit = '0'; digit <= '9'; ++digit) {
      if (digit != number[place]) {
        places[place] += std::string(", ") + digit;
      }
    }
  }
  return ResultText(round, places);
}

}  // namespace tolvane::test
