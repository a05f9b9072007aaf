#pragma once

#include <memory>

#include "app/gui/single_instance.h"

namespace tolvane {

// Starts the program: one copy per user, then the main window until it ends.
class Application {
 public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the main window. Always false: there is no loop to run after it.
  bool InitInstance();
  // Gives the single-instance lock up; the result is the process's exit code.
  int ExitInstance();

 private:
  std::unique_ptr<SingleInstanceLock> lock_;
};

}  // namespace tolvane
