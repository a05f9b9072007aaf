// Runs the window suites on one application object: all of them, or the one named first on the
// command line (`tolvane_gui_tests main_window -v2`); further arguments go to Qt Test.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>
#include <vector>

#include "gui_test_support.h"

namespace {

struct Suite {
  const char* name;
  std::unique_ptr<QObject> (*make)();
};

const Suite kSuites[] = {
    {"main_window", tolvane::test::MakeMainWindowTest},
    {"round_controls", tolvane::test::MakeRoundControlsTest},
    {"app", tolvane::test::MakeAppTest},
    {"import", tolvane::test::MakeImportDialogTest},
    {"spectra", tolvane::test::MakeSpectraWindowTest},
    {"evaluation", tolvane::test::MakeEvaluationWindowTest},
    {"statistics", tolvane::test::MakeStatisticsWindowTest},
};

}  // namespace

int main(int argc, char* argv[]) {
  // The tests must never read or write the user's own settings (the file dialog's history among
  // them): test mode points every settings location at a private test folder.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // The application's own settings go to a folder of this process alone: the suites run side by
  // side, and one suite's choice (the history encoding) must not reach another's window.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  app.setAttribute(Qt::AA_Use96Dpi, true);  // as QTEST_MAIN does, so sizes do not follow the screen

  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  std::vector<char*> args = {argv[0]};
  for (int i = only != nullptr ? 2 : 1; i < argc; ++i) {
    args.push_back(argv[i]);
  }
  int failures = 0;
  bool ran = false;
  for (const Suite& suite : kSuites) {
    if (only != nullptr && std::strcmp(only, suite.name) != 0) {
      continue;
    }
    ran = true;
    const std::unique_ptr<QObject> tests = suite.make();
    failures += QTest::qExec(tests.get(), static_cast<int>(args.size()), args.data());
  }
  return ran ? failures : 2;
}
