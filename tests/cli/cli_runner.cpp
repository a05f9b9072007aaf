#include "tests/cli/cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tolvane::test {

Outcome RunCli(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& stdoutPath) {
  const std::string outPath = stdoutPath.empty() ? dir.File("stdout") : stdoutPath;
  const std::string errPath = dir.File("stderr");
  std::vector<std::string> argv = {TOLVANE_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (std::string& arg : argv) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  Outcome outcome;
  if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) == 0) {
    int wait = 0;
    if (waitpid(pid, &wait, 0) == pid && WIFEXITED(wait)) {
      outcome.status = WEXITSTATUS(wait);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  if (stdoutPath.empty()) {
    outcome.out = ReadBytes(outPath);
  }
  outcome.err = ReadBytes(errPath);
  return outcome;
}

}  // namespace tolvane::test
