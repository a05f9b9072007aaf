#pragma once

#include <QTranslator>
#include <memory>

namespace tolvane {

// Puts Qt's own texts (the file chooser's title, labels and buttons, the standard buttons of the
// message boxes) into Japanese, the language of every other text of the window, whatever the
// locale. Call with the application object made; the translation holds while the returned
// translator lives. Null when Qt's Japanese translations are not installed: Qt's texts then stay
// English.
std::unique_ptr<QTranslator> InstallToolkitTranslations();

}  // namespace tolvane
