#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test {

// UTF-8 text in code page 932 bytes; throws std::runtime_error when a character has no code
// page 932 form.
std::string Utf8ToCp932(std::string_view utf8);

// A well-formed history of `count` draws that all show `number`: a header line, then
// "第N回,2020/1/2,X,NNN" with rounds counting up from 1. Every place then ranks its own digit
// first and the other nine ascending, whatever the filter (RepeatedDrawResult).
std::vector<std::string> RepeatedDrawLines(const std::string& number, std::size_t count);

// A well-formed history of `count` random three-digit numbers from a fixed seed, the same on
// every machine.
std::vector<std::string> RandomDrawLines(std::size_t count, unsigned seed);

// Writes a history file named `name` in `dir` from UTF-8 lines, each converted to code page 932
// and ended by a line feed, and returns its path. The first line is the header.
std::string WriteHistoryFile(const TempDir& dir, const std::vector<std::string>& utf8Lines,
                             std::string_view name = "history.csv");

}  // namespace tolvane::test
