#include "app/gui/option_labels.h"

#include "app/text_encodings.h"
#include "core/places.h"

namespace tolvane {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString PlaceLabel(std::size_t place) {
  return place < kPlaceLabels.size() ? FromUtf8(kPlaceLabels[place]) : QStringLiteral("3桁すべて");
}

QString PlaceLabel(std::string_view word) {
  std::size_t place = 0;
  while (place < kPlaceWords.size() && kPlaceWords[place] != word) {
    ++place;
  }
  return PlaceLabel(place);
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

QString LoadFailureText(const AnalysisHistory& load) {
  QString text = QString::fromStdU16String(load.text);
  if (load.suggested) {
    text += QLatin1Char('\n') + EncodingHint(*load.suggested);
  }
  return text;
}

}  // namespace tolvane
