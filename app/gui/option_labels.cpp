#include "app/gui/option_labels.h"

#include "app/evaluation_table.h"
#include "app/text_encodings.h"

namespace tolvane {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString PlaceCaption(Game game, std::size_t place) {
  const auto places = static_cast<std::size_t>(PlaceCount(game));
  return place < places ? FromUtf8(PlaceLabel(game, static_cast<int>(place)))
                        : QStringLiteral("%1桁すべて").arg(places);
}

QString PlaceCaption(std::string_view word) {
  for (const OptionEntry<Game>& entry : kGames) {
    const int places = PlaceCount(entry.kind);
    for (int place = 0; place < places; ++place) {
      if (PlaceWord(entry.kind, place) == word) {
        return PlaceCaption(entry.kind, static_cast<std::size_t>(place));
      }
    }
    if (AllPlacesWord(entry.kind) == word) {
      return PlaceCaption(entry.kind, static_cast<std::size_t>(places));
    }
  }
  return FromUtf8(word);
}

QString FilterLabel(FilterKind kind) {
  for (const OptionEntry<FilterKind>& entry : kFilterKinds) {
    if (entry.kind == kind) {
      return FromUtf8(entry.label);
    }
  }
  return {};
}

QString FrameLabel(FrameMode mode) {
  switch (mode) {
    case FrameMode::Head:
      return QStringLiteral("先頭");
    case FrameMode::Tail:
      return QStringLiteral("末尾");
    case FrameMode::Center:
      return QStringLiteral("中央");
    case FrameMode::HeadTail:
      return QStringLiteral("先頭と末尾");
  }
  return {};
}

QString RunLabel(const RunOutcome& run) {
  QString label = FilterLabel(run.filter);
  if (run.frame) {
    label += QLatin1Char(' ') + FrameLabel(*run.frame);
  }
  return label;
}

QString EncodingHint(TextEncoding suggested) {
  for (const OptionEntry<TextEncoding>& entry : kTextEncodings) {
    if (entry.kind == suggested) {
      return QStringLiteral(
                 "このファイルは %1 のようです。ﾌｧｲﾙ → 文字コード で %1 を選んでください。")
          .arg(FromUtf8(entry.label));
    }
  }
  return {};
}

QString GameHint(Game suggested) {
  for (const OptionEntry<Game>& entry : kGames) {
    if (entry.kind == suggested) {
      return QStringLiteral(
                 "このファイルは %1 の履歴のようです。ﾌｧｲﾙ → ゲーム で %1 を選んでください。")
          .arg(FromUtf8(entry.label));
    }
  }
  return {};
}

QString LoadFailureText(const AnalysisHistory& load) {
  QString text = QString::fromStdU16String(load.text);
  if (load.suggested) {
    text += QLatin1Char('\n') + EncodingHint(*load.suggested);
  }
  return text;
}

QString Grouped(std::uint64_t value) {
  QString digits = QString::number(value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
    digits.insert(at, QLatin1Char(','));
  }
  return digits;
}

}  // namespace tolvane
