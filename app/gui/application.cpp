#include "app/gui/application.h"

#include <QString>

#include "app/gui/main_window.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"

namespace tolvane {

Application::Application() = default;

Application::~Application() = default;

bool Application::InitInstance() {
  lock_ = std::make_unique<SingleInstanceLock>(QStringLiteral("SkelmorAppMutex"));
  if (lock_->TryAcquire() == SingleInstanceLock::Outcome::kHeldElsewhere) {
    ShowSecondCopyWarning(QStringLiteral("このアプリケーションは既に起動しています。"));
    return false;
  }
  // Without a lock (no runtime folder) the program runs unguarded rather than not at all.

  MainWindow window;
  RunModal(window);  // a modal dialog: Enter and Escape end it, and the program with it
  return false;
}

int Application::ExitInstance() {
  if (lock_) {
    lock_->Release();
  }
  return 0;
}

}  // namespace tolvane
