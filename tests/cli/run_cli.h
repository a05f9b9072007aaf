#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a program (tolvane-cli unless `program` is given) with its output in files of dir;
// stdoutPath replaces the output file if given (the output is then not read back), stdinPath is
// its standard input (/dev/null unless given).
Outcome RunProgram(const TempDir& dir, const std::string& program,
                   const std::vector<std::string>& args, const std::string& stdoutPath = "",
                   const std::string& stdinPath = "");

inline Outcome RunCli(const TempDir& dir, const std::vector<std::string>& args,
                      const std::string& stdoutPath = "", const std::string& stdinPath = "") {
  return RunProgram(dir, TOLVANE_CLI_PATH, args, stdoutPath, stdinPath);
}

}  // namespace tolvane::test
