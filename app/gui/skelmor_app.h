#pragma once

#include <memory>

#include "app/gui/single_instance.h"

namespace tolvane {

// Starts the program: one copy per user, then the main dialog until it ends.
class CSkelmorApp {
 public:
  CSkelmorApp();
  ~CSkelmorApp();
  CSkelmorApp(const CSkelmorApp&) = delete;
  CSkelmorApp& operator=(const CSkelmorApp&) = delete;

  // Runs the program's one dialog. Always false: there is no loop to run after it.
  bool InitInstance();
  // Gives the single-instance lock up; the result is the process's exit code.
  int ExitInstance();

 private:
  std::unique_ptr<SingleInstanceLock> m_hMutex;
};

}  // namespace tolvane
