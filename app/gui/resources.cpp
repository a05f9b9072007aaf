#include "app/gui/resources.h"

#include <QtGlobal>

// The images are compiled into a static library, whose resources must be registered by hand.
static void RegisterTolvaneResources() { Q_INIT_RESOURCE(tolvane); }

namespace tolvane {
namespace {

void EnsureResources() {
  static const bool registered = [] {
    RegisterTolvaneResources();
    return true;
  }();
  (void)registered;
}

}  // namespace

QIcon ProgramIcon() {
  EnsureResources();
  QIcon icon;
  icon.addFile(QStringLiteral(":/tolvane/icon-32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/tolvane/icon-128.png"), QSize(128, 128));
  return icon;
}

QPixmap LogoBitmap() {
  EnsureResources();
  return QPixmap(QStringLiteral(":/tolvane/logo.png"));
}

}  // namespace tolvane
