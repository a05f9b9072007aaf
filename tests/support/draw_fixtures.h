#pragma once

// Draw histories and log reading for the predictor, command and command-line tests.

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test_support {

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::istringstream in(ReadBytes(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// A history file in code page 932: a header line, then one draw line per winning number
// ("第N回,2020/1/2,X,NNN"), rounds counting up from 1.
inline std::string HistoryText(const std::vector<std::string>& numbers) {
  const std::string dai = "\x91\xe6";  // 第
  const std::string kai = "\x89\xf1";  // 回
  std::string text = "round,date,weekday,number\n";
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    text += dai;
    text += std::to_string(i + 1);
    text += kai;
    text += ",2020/1/2,X,";
    text += numbers[i];
    text += '\n';
  }
  return text;
}

// Every draw shows the same three digits: each place then ranks its own digit first and the
// other nine in ascending order, whatever the filter.
inline std::vector<std::string> SameDraws(const std::string& number, std::size_t count) {
  return std::vector<std::string>(count, number);
}

}  // namespace tolvane::test_support
