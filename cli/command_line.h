#pragma once

namespace tolvane::cli {

// The whole of tolvane-cli from its arguments (argv[0] the program's name) to its exit status:
// the program's main() and the browser page's module both run this, so they answer alike.
// Output goes to std::cout and std::cerr.
int RunCommandLine(int argc, char** argv);

}  // namespace tolvane::cli
