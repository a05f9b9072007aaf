// The main dialog as the prediction command sees it: its window operations in Qt terms.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "app/gui/evaluation_window.h"
#include "app/gui/message_box.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/skelmor_dlg.h"
#include "app/messages.h"
#include "app/prediction_command.h"

namespace tolvane {
namespace {

constexpr int kResultPixelSize = 24;

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  return icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
}

}  // namespace

void CSkelmorDlg::OnPredict() {
  // The button is off while an evaluation runs, and a direct call does nothing either: the
  // engine serves one caller at a time.
  if (m_evaluationWindow != nullptr && m_evaluationWindow->IsRunning()) {
    return;
  }
  RunPredictionCommand(*this, "");
}

PredictionInputs CSkelmorDlg::SaveControls() {
  DoDataExchange(true);
  PredictionInputs inputs;
  inputs.filePath = m_strFilePath.toStdU16String();
  inputs.filter = m_filterKind;
  inputs.frame = m_frameMode;
  // Only the spectra window draws the spectra; without it a prediction keeps none.
  inputs.keepSpectra = !m_spectraWindow.isNull();
  inputs.encoding = m_encoding;
  return inputs;
}

void CSkelmorDlg::SetResultText(const std::u16string& text) {
  m_staticResult->setText(QString::fromStdU16String(text));
}

void CSkelmorDlg::ShowMessage(const std::u16string& text, const std::u16string& caption,
                              MessageIcon icon) {
  ShowMessageBox(this, QString::fromStdU16String(text), QString::fromStdU16String(caption),
                 BoxIcon(icon));
}

void CSkelmorDlg::ShowAppMessage(const std::u16string& text, MessageIcon icon,
                                 const std::u16string& detail) {
  ShowMessageBox(this, QString::fromStdU16String(text), QCoreApplication::applicationName(),
                 BoxIcon(icon), QString::fromStdU16String(detail));
}

bool CSkelmorDlg::PathExists(const std::string& narrowPath) {
  // An empty name would mean the working folder to some callers; here it names nothing.
  if (narrowPath.empty()) {
    return false;
  }
  return QFileInfo::exists(QString::fromStdString(narrowPath));
}

void CSkelmorDlg::HistoryLoaded(const std::string& narrowPath, const LoadReport& report) {
  // Once per load: the prediction still follows, read in file order.
  const std::string detail = OrderWarningDetail(narrowPath, report);
  if (!detail.empty()) {
    ShowMessageBox(this, QString::fromStdU16String(kOrderWarningText),
                   QCoreApplication::applicationName(), QMessageBox::Warning,
                   QString::fromStdString(detail));
  }
}

void CSkelmorDlg::SyncRoundSpin() { m_spinRound->GetPos(); }

std::u16string CSkelmorDlg::RoundText() { return m_editRound->text().toStdU16String(); }

void CSkelmorDlg::ShowAnalysis(const PredictionAnalysis& analysis) {
  m_lastAnalysis = analysis;
  emit AnalysisShown();
}

void CSkelmorDlg::ApplyResultFont() {
  // Face, weight and style stay those of the area's current font; only the height changes.
  QFont font = m_staticResult->font();
  font.setPixelSize(kResultPixelSize);
  m_fontResult = font;
  m_staticResult->setFont(font);
}

}  // namespace tolvane
