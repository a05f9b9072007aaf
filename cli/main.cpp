// tolvane-cli: the window's commands from the command line.

#include "cli/allocation_policy.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
  tolvane::cli::KeepFreedMemory();
  return tolvane::cli::RunCommandLine(argc, argv);
}
