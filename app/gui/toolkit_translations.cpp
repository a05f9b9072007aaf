#include "app/gui/toolkit_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>

namespace tolvane {

std::unique_ptr<QTranslator> InstallToolkitTranslations() {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  return translator;
}

}  // namespace tolvane
