#pragma once

#include <QIcon>
#include <QPixmap>

namespace tolvane {

// The program icon in the sizes it ships in.
QIcon ProgramIcon();
// The 100 x 100 logo of the main dialog.
QPixmap LogoBitmap();

}  // namespace tolvane
