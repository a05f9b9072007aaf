// The main window's choices of history encoding and game: groups of items in the file menu,
// remembered between runs.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <array>
#include <functional>

#include "app/gui/main_window.h"
#include "app/gui/spectra_window.h"
#include "app/text_encodings.h"

namespace tolvane {
namespace {

constexpr char kEncodingKey[] = "history/encoding";
constexpr char kGameKey[] = "history/game";

// Named explicitly, so the file is the same whatever the executable is called.
QSettings Settings() { return QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane")); }

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// An unknown or missing word is the default, so a damaged settings file cannot stop a load.
template <typename Kind, std::size_t N>
Kind Stored(const char* key, const std::array<OptionEntry<Kind>, N>& table) {
  const QString word = Settings().value(QLatin1String(key)).toString();
  return KindIn<Kind>(table, word.toStdString()).value_or(table[0].kind);
}

template <typename Kind, std::size_t N>
void Store(const char* key, const std::array<OptionEntry<Kind>, N>& table, Kind kind) {
  Settings().setValue(QLatin1String(key), Text(WordIn(table, kind)));
}

// A submenu of `file`, above its last item, with one radio item per entry of `table` (object
// names `prefix` and the entry's word); the group of items, in the table's order.
template <typename Kind, std::size_t N>
QActionGroup* AddChoiceMenu(QWidget* owner, QMenu* file, QAction* before, const QString& title,
                            const QString& name, const QString& prefix,
                            const std::array<OptionEntry<Kind>, N>& table, Kind current,
                            const std::function<void(Kind)>& chosen) {
  auto* menu = new QMenu(title, owner);
  menu->setObjectName(name);
  file->insertMenu(before, menu);
  auto* group = new QActionGroup(owner);
  for (const OptionEntry<Kind>& entry : table) {
    QAction* action = menu->addAction(Text(entry.label));
    action->setObjectName(prefix + Text(entry.word));
    action->setCheckable(true);
    action->setChecked(entry.kind == current);
    group->addAction(action);
    const Kind kind = entry.kind;
    QObject::connect(action, &QAction::triggered, owner, [chosen, kind] { chosen(kind); });
  }
  return group;
}

}  // namespace

void MainWindow::CreateEncodingMenu(QMenu* file) {
  encoding_ = Stored(kEncodingKey, kTextEncodings);
  encodingGroup_ = AddChoiceMenu<TextEncoding>(
      this, file, exitAction_, QStringLiteral("文字コード(&E)"), QStringLiteral("encodingMenu"),
      QStringLiteral("encoding_"), kTextEncodings, encoding_,
      [this](TextEncoding kind) { OnEncodingChosen(kind); });
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
  Store(kEncodingKey, kTextEncodings, encoding);
}

void MainWindow::CreateGameMenu(QMenu* file) {
  game_ = Stored(kGameKey, kGames);
  gameGroup_ = AddChoiceMenu<Game>(this, file, exitAction_, QStringLiteral("ゲーム(&G)"),
                                   QStringLiteral("gameMenu"), QStringLiteral("game_"), kGames,
                                   game_, [this](Game kind) { OnGameChosen(kind); });
}

void MainWindow::OnGameChosen(Game game) {
  if (game != game_) {
    // A prediction of the other game answers another question (and may not fit the area now):
    // no window keeps showing it.
    resultLabel_->clear();
    lastAnalysis_.reset();
    ShowTickets();
    if (!spectraWindow_.isNull()) {
      spectraWindow_->ShowAnalysis(nullptr);
    }
  }
  game_ = game;
  Store(kGameKey, kGames, game);
  FitResultArea(game);
}

}  // namespace tolvane
