#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/gui/application.h"
#include "app/gui/toolkit_translations.h"
#include "core/version.h"

int main(int argc, char* argv[]) {
  // Answered before Qt starts, so it works without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::puts(tolvane::kVersionLine);
      return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
    }
  }
  QApplication qtApp(argc, argv);
  const std::unique_ptr<QTranslator> toolkitTexts = tolvane::InstallToolkitTranslations();
  qtApp.setApplicationVersion(QString::fromLatin1(tolvane::kVersion));
  tolvane::Application application;
  application.InitInstance();
  return application.ExitInstance();
}
