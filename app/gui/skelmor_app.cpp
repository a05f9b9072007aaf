#include "app/gui/skelmor_app.h"

#include <QMessageBox>
#include <QString>

#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/skelmor_dlg.h"

namespace tolvane {

CSkelmorApp::CSkelmorApp() = default;

CSkelmorApp::~CSkelmorApp() = default;

bool CSkelmorApp::InitInstance() {
  m_hMutex = std::make_unique<SingleInstanceLock>(QStringLiteral("SkelmorAppMutex"));
  if (m_hMutex->TryAcquire() == SingleInstanceLock::Outcome::kHeldElsewhere) {
    ShowMessageBox(nullptr, QStringLiteral("このアプリケーションは既に起動しています。"),
                   QStringLiteral("二重起動防止"), QMessageBox::Warning);
    return false;
  }
  // Without a lock (no runtime folder) the program runs unguarded rather than not at all.

  CSkelmorDlg dialog;
  RunModal(dialog);
  return false;
}

int CSkelmorApp::ExitInstance() {
  if (m_hMutex) {
    m_hMutex->Release();
  }
  return 0;
}

}  // namespace tolvane
