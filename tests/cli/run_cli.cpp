#include "tests/cli/run_cli.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>

extern char** environ;

namespace tolvane::test {

Outcome RunProgram(const TempDir& dir, const std::string& program,
                   const std::vector<std::string>& args, const std::string& stdoutPath,
                   const std::string& stdinPath) {
  const std::string outPath = stdoutPath.empty() ? dir.File("stdout") : stdoutPath;
  const std::string errPath = dir.File("stderr");
  const std::string inPath = stdinPath.empty() ? "/dev/null" : stdinPath;
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (std::string& arg : argv) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  Outcome outcome;
  // Why a run has no exit status goes after its standard error, so a failed check shows it.
  std::string noStatus;
  const int spawnError =
      posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
  if (spawnError == 0) {
    int wait = 0;
    if (waitpid(pid, &wait, 0) != pid) {
      noStatus = std::string("waitpid: ") + std::strerror(errno);
    } else if (WIFEXITED(wait)) {
      outcome.status = WEXITSTATUS(wait);
    } else if (WIFSIGNALED(wait)) {
      noStatus = "killed by signal " + std::to_string(WTERMSIG(wait));
    }
  } else {
    noStatus = std::string("posix_spawn: ") + std::strerror(spawnError);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (stdoutPath.empty()) {
    outcome.out = ReadBytes(outPath);
  }
  outcome.err = ReadBytes(errPath) + noStatus;
  return outcome;
}

}  // namespace tolvane::test
