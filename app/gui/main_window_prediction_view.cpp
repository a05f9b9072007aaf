// The main window as the prediction command sees it: its window operations in Qt terms.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <cstring>
#include <utility>

#include "app/encoding_suggestion.h"
#include "app/gui/evaluation_window.h"
#include "app/gui/main_window.h"
#include "app/gui/message_box.h"
#include "app/gui/option_labels.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/messages.h"
#include "app/prediction_command.h"

namespace tolvane {
namespace {

constexpr int kResultPixelSize = 24;
// A Numbers 3 history with a longer winning number; the prediction goes on with its first three.
constexpr char16_t kLongNumberWarningText[] =
    u"履歴ファイルに 3 桁より長い当せん番号があります。先頭の 3 桁を使って予想します。";
// How LongNumberWarningDetail ends when every number has four digits, or three in Numbers 4.
constexpr char kGameOptionHint[] = ": try --game numbers4";
constexpr char kNumbers3OptionHint[] = ": try --game numbers3";
constexpr char16_t kThreeDigitsWarningText[] =
    u"履歴ファイルの当せん番号はすべて 3 桁です。4 桁の数字として予想します。";

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  return icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
}

}  // namespace

void MainWindow::OnPredict() {
  // The button is off while an evaluation runs, and a direct call does nothing either: the
  // engine serves one caller at a time.
  if (evaluationWindow_ != nullptr && evaluationWindow_->IsRunning()) {
    return;
  }
  loadHint_.clear();
  RunPredictionCommand(*this, "");
}

PredictionInputs MainWindow::SaveControls() {
  DoDataExchange(true);
  PredictionInputs inputs;
  inputs.filePath = filePath_.toStdU16String();
  inputs.filter = filterKind_;
  inputs.frame = frameMode_;
  // Only the spectra window draws the spectra; without it a prediction keeps none.
  inputs.keepSpectra = !spectraWindow_.isNull();
  inputs.encoding = encoding_;
  inputs.game = game_;
  return inputs;
}

void MainWindow::SetResultText(const std::u16string& text) {
  resultLabel_->setText(QString::fromStdU16String(text));
  if (text.empty()) {
    ShowTickets();  // no tickets outlive the result they were chosen for
  }
}

void MainWindow::ShowMessage(const std::u16string& text, const std::u16string& /*caption*/,
                             MessageIcon icon) {
  // Every box of the window is titled alike; the command's caption is the console's concern.
  ShowMessageBox(this, QString::fromStdU16String(text), BoxIcon(icon));
}

void MainWindow::ShowAppMessage(const std::u16string& text, MessageIcon icon,
                                const std::u16string& detail) {
  QString shown = QString::fromStdU16String(text);
  if (!loadHint_.isEmpty()) {
    shown += QLatin1Char('\n') + std::exchange(loadHint_, QString());
  }
  ShowMessageBox(this, shown, BoxIcon(icon), QString::fromStdU16String(detail));
}

bool MainWindow::PathExists(const std::string& narrowPath) {
  // An empty name would mean the working folder to some callers; here it names nothing.
  if (narrowPath.empty()) {
    return false;
  }
  return QFileInfo::exists(QString::fromStdString(narrowPath));
}

void MainWindow::HistoryLoaded(const std::string& narrowPath, const LoadReport& report) {
  // Once per load: the prediction still follows, read in file order.
  const std::string detail = OrderWarningDetail(narrowPath, report);
  if (!detail.empty()) {
    ShowMessageBox(this, QString::fromStdU16String(kOrderWarningText), QMessageBox::Warning,
                   QString::fromStdString(detail));
  }
  QString longNumber = QString::fromStdString(LongNumberWarningDetail(narrowPath, report));
  if (!longNumber.isEmpty()) {
    // The box names the window's menu rather than the command line's option in the detail.
    QString text = QString::fromUtf16(kLongNumberWarningText);
    if (longNumber.endsWith(QLatin1String(kGameOptionHint))) {
      longNumber.chop(static_cast<qsizetype>(std::strlen(kGameOptionHint)));
      text += QLatin1Char('\n') + GameHint(Game::kNumbers4);
    } else if (longNumber.endsWith(QLatin1String(kNumbers3OptionHint))) {
      longNumber.chop(static_cast<qsizetype>(std::strlen(kNumbers3OptionHint)));
      text = QString::fromUtf16(kThreeDigitsWarningText) + QLatin1Char('\n') +
             GameHint(Game::kNumbers3);
    }
    ShowMessageBox(this, text, QMessageBox::Warning, longNumber);
  }
}

void MainWindow::AddLoadHint(const std::string& narrowPath, const LoadOptions& options,
                             LoadReport& report) {
  // The window names its own menu, in the box's text, rather than the command line's option in
  // the loader's reason.
  const std::optional<TextEncoding> suggested =
      SuggestedEncoding(narrowPath, options.encoding, report);
  loadHint_ = suggested ? EncodingHint(*suggested) : QString();
}

void MainWindow::SyncRoundSpin() { roundSpin_->GetPos(); }

std::u16string MainWindow::RoundText() { return roundEdit_->text().toStdU16String(); }

void MainWindow::ShowAnalysis(const PredictionAnalysis& analysis) {
  lastAnalysis_ = analysis;
  ShowTickets();
  emit AnalysisShown();
}

QFont MainWindow::ResultAreaFont() const {
  // Face, weight and style stay those of the area's current font; only the height changes.
  QFont font = resultLabel_->font();
  font.setPixelSize(kResultPixelSize);
  return font;
}

void MainWindow::ApplyResultFont() {
  resultFont_ = ResultAreaFont();
  resultLabel_->setFont(*resultFont_);
}

}  // namespace tolvane
