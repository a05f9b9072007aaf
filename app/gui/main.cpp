#include <QApplication>
#include <QTranslator>
#include <memory>

#include "app/gui/skelmor_app.h"
#include "app/gui/toolkit_translations.h"

int main(int argc, char* argv[]) {
  QApplication qtApp(argc, argv);
  const std::unique_ptr<QTranslator> toolkitTexts = tolvane::InstallToolkitTranslations();
  tolvane::CSkelmorApp theApp;
  theApp.InitInstance();
  return theApp.ExitInstance();
}
