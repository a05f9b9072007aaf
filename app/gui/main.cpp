#include <QApplication>

#include "app/gui/skelmor_app.h"

int main(int argc, char* argv[]) {
  QApplication qtApp(argc, argv);
  tolvane::CSkelmorApp theApp;
  theApp.InitInstance();
  return theApp.ExitInstance();
}
