#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test {

// What a caller of tolvane-cli sees.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the real tool with its output in files of dir; stdoutPath replaces the output file if
// given (and `out` stays empty).
Outcome RunCli(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& stdoutPath = "");

}  // namespace tolvane::test
