#include "app/gui/money_choice.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "predict/tickets.h"

namespace tolvane {
namespace {

constexpr char kBetsKey[] = "money/bets";
constexpr char kTicketsKey[] = "money/tickets";

// Named explicitly, so the file is the same whatever the executable is called.
QSettings Settings() { return QSettings(QStringLiteral("tolvane"), QStringLiteral("tolvane")); }

}  // namespace

MoneyChoice StoredMoneyChoice() {
  const QSettings settings = Settings();
  MoneyChoice choice;
  // Unknown words are passed over, so a damaged settings file buys nothing rather than failing.
  // A list written by hand without quotes reads as a string list, one written here as a string.
  const QStringList words =
      settings.value(QLatin1String(kBetsKey)).toStringList().join(u',').split(u',');
  for (const OptionEntry<BetType>& entry : kBetTypes) {
    if (words.contains(
            QString::fromUtf8(entry.word.data(), static_cast<qsizetype>(entry.word.size())))) {
      choice.bets.push_back(entry.kind);
    }
  }
  choice.tickets = std::max(1, settings.value(QLatin1String(kTicketsKey), 1).toInt());
  return choice;
}

void StoreMoneyChoice(const MoneyChoice& choice) {
  QStringList words;
  for (const BetType type : choice.bets) {
    const std::string_view word = Word(type);
    words.append(QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size())));
  }
  QSettings settings = Settings();
  settings.setValue(QLatin1String(kBetsKey), words.join(u','));
  settings.setValue(QLatin1String(kTicketsKey), choice.tickets);
}

int MostTickets(Game game, const std::vector<BetType>& bets) {
  int most = 0;
  int fewest = 0;
  for (const OptionEntry<BetType>& entry : kBetTypes) {
    if (!Sells(game, entry.kind)) {
      continue;
    }
    const int distinct = DistinctTickets(game, entry.kind);
    most = std::max(most, distinct);
    if (std::find(bets.begin(), bets.end(), entry.kind) != bets.end()) {
      fewest = fewest == 0 ? distinct : std::min(fewest, distinct);
    }
  }
  return fewest == 0 ? most : fewest;
}

MoneyChoice ForGame(const MoneyChoice& choice, Game game) {
  MoneyChoice sold;
  for (const BetType type : choice.bets) {
    if (Sells(game, type)) {
      sold.bets.push_back(type);
    }
  }
  sold.tickets = std::clamp(choice.tickets, 1, MostTickets(game, sold.bets));
  return sold;
}

}  // namespace tolvane
