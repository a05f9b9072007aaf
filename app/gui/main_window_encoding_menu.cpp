// The main window's choice of history encoding: a group of items in the file menu, remembered
// between runs.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>

#include "app/gui/main_window.h"
#include "app/text_encodings.h"

namespace tolvane {
namespace {

constexpr char kEncodingKey[] = "history/encoding";

// Named explicitly, so the file is the same whatever the executable is called.
QSettings Settings() { return QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane")); }

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// An unknown or missing word is the default, so a damaged settings file cannot stop a load.
TextEncoding StoredEncoding() {
  const QString word = Settings().value(QLatin1String(kEncodingKey)).toString();
  return TextEncodingFromWord(word.toStdString()).value_or(kTextEncodings[0].kind);
}

}  // namespace

void MainWindow::CreateEncodingMenu(QMenu* file) {
  encoding_ = StoredEncoding();
  auto* menu = new QMenu(QStringLiteral("文字コード(&E)"), this);
  menu->setObjectName(QStringLiteral("encodingMenu"));
  file->insertMenu(exitAction_, menu);
  file->insertSeparator(exitAction_);
  encodingGroup_ = new QActionGroup(this);
  for (const OptionEntry<TextEncoding>& entry : kTextEncodings) {
    QAction* action = menu->addAction(Text(entry.label));
    action->setObjectName(QStringLiteral("encoding_") + Text(entry.word));
    action->setCheckable(true);
    action->setChecked(entry.kind == encoding_);
    encodingGroup_->addAction(action);
    const TextEncoding kind = entry.kind;
    connect(action, &QAction::triggered, this, [this, kind] { OnEncodingChosen(kind); });
  }
}

void MainWindow::SelectEncoding(TextEncoding encoding) {
  const QList<QAction*> actions = encodingGroup_->actions();
  for (qsizetype i = 0; i < actions.size(); ++i) {
    if (kTextEncodings[static_cast<std::size_t>(i)].kind == encoding) {
      actions[i]->setChecked(true);
    }
  }
  OnEncodingChosen(encoding);
}

void MainWindow::OnEncodingChosen(TextEncoding encoding) {
  encoding_ = encoding;
  Settings().setValue(QLatin1String(kEncodingKey), Text(Word(encoding)));
}

}  // namespace tolvane
