#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <optional>

#include "app/gui/history_choice.h"
#include "app/prediction_view.h"
#include "predict/prediction_options.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace tolvane {

class EvaluationWindow;
class RoundEdit;
class RoundSpin;
class SpectraWindow;

// The main window: round number, history file and filter in, the prediction's text out. It is
// laid out once in dialog units and never rearranged; resizing the window moves nothing.
class CSkelmorDlg : public QDialog, public PredictionView {
  Q_OBJECT

 public:
  explicit CSkelmorDlg(QWidget* parent = nullptr);
  ~CSkelmorDlg() override;

  // Controls into members (save) or members into controls (load).
  void DoDataExchange(bool save);

  // Saves the controls, then ends the dialog with the OK result.
  void accept() override;

  void OnBrowse();
  void OnPredict();
  void OnAbout();
  // Opens the spectra window, or brings the open one to the front.
  void OnSpectra();
  // ツール → 的中率の検証: opens the evaluation window, or raises the one already open.
  void OnEvaluation();
  // The spin is about to move from `pos` by `delta`.
  bool OnDeltaposRoundSpin(int pos, int& delta);
  void OnChangeRoundEdit();

  // PredictionView.
  PredictionInputs SaveControls() override;
  void SetResultText(const std::u16string& text) override;
  void ShowMessage(const std::u16string& text, const std::u16string& caption,
                   MessageIcon icon) override;
  void ShowAppMessage(const std::u16string& text, MessageIcon icon,
                      const std::u16string& detail) override;
  bool PathExists(const std::string& narrowPath) override;
  void HistoryLoaded(const std::string& narrowPath, const LoadReport& report) override;
  void SyncRoundSpin() override;
  std::u16string RoundText() override;
  void ApplyResultFont() override;
  void ShowAnalysis(const PredictionAnalysis& analysis) override;

  // What the last prediction rests on, for the windows that show it; nullopt before the first.
  const std::optional<PredictionAnalysis>& LastAnalysis() const { return m_lastAnalysis; }

 signals:
  // A prediction was shown; LastAnalysis() holds what it rests on.
  void AnalysisShown();

 public:
  // Members, read by the tests as the handlers leave them.
  const QString& FilePath() const { return m_strFilePath; }
  // The history path as the edit shows it now, for the analysis windows.
  QString HistoryPath() const;
  // The history the analysis windows load: the path and the chosen encoding.
  HistoryChoice ChosenHistory() const;
  FrameMode Frame() const { return m_frameMode; }
  FilterKind Filter() const { return m_filterKind; }
  // The history files' encoding, as chosen in the file menu (and remembered between runs).
  TextEncoding Encoding() const { return m_encoding; }
  const std::optional<QFont>& ResultFont() const { return m_fontResult; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void CreateMenu();
  void CreateEncodingMenu(QMenu* file);
  void OnEncodingChosen(TextEncoding encoding);
  // Checks `encoding`'s item in the file menu and takes it as if the user had chosen it.
  void SelectEncoding(TextEncoding encoding);
  void OnInitDialog();
  void PlaceMenuAndClient();
  QRadioButton* FilterButton(int position) const;
  QRadioButton* FrameButton(int position) const;
  static int CheckedPosition(const QButtonGroup* group);
  static void CheckPosition(QButtonGroup* group, int position);

  QIcon m_hIcon;
  QString m_strFilePath;
  FrameMode m_frameMode = FrameMode::Head;
  QString m_strOutputFile;
  std::optional<QFont> m_fontResult;
  std::optional<PredictionAnalysis> m_lastAnalysis;
  QPointer<SpectraWindow> m_spectraWindow;  // null once closed: predictions then keep no spectra
  bool m_bEditGuard = false;
  FilterKind m_filterKind = FilterKind::LowPass;
  TextEncoding m_encoding = TextEncoding::kCp932;

  QMenuBar* m_menuBar = nullptr;
  QMenu* m_menuTools = nullptr;
  QAction* m_actOpen = nullptr;
  QAction* m_actExit = nullptr;
  QActionGroup* m_groupEncoding = nullptr;
  QAction* m_actAbout = nullptr;
  QAction* m_actSpectra = nullptr;
  QAction* m_actEvaluation = nullptr;
  // At most one, so two evaluations never run at once; closing it deletes it.
  QPointer<EvaluationWindow> m_evaluationWindow;
  QWidget* m_client = nullptr;  // everything below the menu bar
  RoundEdit* m_editRound = nullptr;
  RoundSpin* m_spinRound = nullptr;
  QLineEdit* m_editPath = nullptr;
  QLineEdit* m_editOutput = nullptr;
  QPushButton* m_btnBrowse = nullptr;
  QPushButton* m_btnPredict = nullptr;
  QButtonGroup* m_groupFilter = nullptr;
  QButtonGroup* m_groupFrame = nullptr;
  QGroupBox* m_frameBox = nullptr;
  QLabel* m_labelOutput = nullptr;
  QLabel* m_staticResult = nullptr;
  QLabel* m_staticIcon = nullptr;
  QLabel* m_staticLogo = nullptr;
};

}  // namespace tolvane
