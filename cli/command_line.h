#pragma once

#include "cli/progress_bar.h"

namespace tolvane::cli {

// The whole of tolvane-cli from its arguments (argv[0] the program's name) to its exit status:
// the program's main() and the browser page's module both run this, so they answer alike.
// Output goes to std::cout and std::cerr; a long run's progress also to `observer`.
int RunCommandLine(int argc, char** argv, const ProgressObserver& observer = {});

}  // namespace tolvane::cli
