#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/gui/skelmor_app.h"
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
  qtApp.setApplicationVersion(QString::fromLatin1(tolvane::kVersion));
  tolvane::CSkelmorApp theApp;
  theApp.InitInstance();
  return theApp.ExitInstance();
}
