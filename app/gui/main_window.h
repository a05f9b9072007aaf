#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <optional>

#include "app/gui/history_choice.h"
#include "app/prediction_view.h"
#include "core/game.h"
#include "predict/prediction_options.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tolvane {

class EvaluationWindow;
class RoundEdit;
class RoundSpin;
class SpectraWindow;

// The main window: round number, history file and filter in, the prediction's text out. It is
// laid out once in dialog units and never rearranged; resizing the window moves nothing.
class MainWindow : public QDialog, public PredictionView {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

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
  void AddLoadHint(const std::string& narrowPath, const LoadOptions& options,
                   LoadReport& report) override;

  // What the last prediction rests on, for the windows that show it; nullopt before the first.
  const std::optional<PredictionAnalysis>& LastAnalysis() const { return lastAnalysis_; }

 signals:
  // A prediction was shown; LastAnalysis() holds what it rests on.
  void AnalysisShown();

 public:
  // Members, read by the tests as the handlers leave them.
  const QString& FilePath() const { return filePath_; }
  // The history path as the edit shows it now, for the analysis windows.
  QString HistoryPath() const;
  // The history the analysis windows load: the path and the chosen encoding and game.
  HistoryChoice ChosenHistory() const;
  FrameMode Frame() const { return frameMode_; }
  FilterKind Filter() const { return filterKind_; }
  // The history files' encoding, as chosen in the file menu (and remembered between runs).
  TextEncoding Encoding() const { return encoding_; }
  // The game predicted, as chosen in the file menu (and remembered between runs).
  Game ChosenGame() const { return game_; }
  const std::optional<QFont>& ResultFont() const { return resultFont_; }

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
  void CreateGameMenu(QMenu* file);
  void OnGameChosen(Game game);
  // Makes the result area, and the window with it, tall enough for every place of `game`.
  void FitResultArea(Game game);
  // ﾌｧｲﾙ → 当選番号の追加 and 結果ファイルで更新; after either, the round after the new highest.
  void OnAddDraw();
  void OnUpdateHistory();
  void FollowHighestRound(std::int32_t highest);
  // After a draw was added or the history updated up to `round`: the round after it, and the
  // draw written named in the result area, followed by `done` ("を追加しました").
  void ReportWritten(std::int32_t round, const QString& done);
  // `path` in the edit, as 開く or インポート chose it: the round after its newest draw, the last
  // prediction gone.
  void TakeHistory(const QString& path);
  // No prediction shown, in this window or the spectra one.
  void ForgetPrediction();
  // The next draw's tickets of the kinds chosen in the evaluation window, under the result; hidden
  // without a prediction or a kind.
  void ShowTickets();
  // Makes the tickets box, and the window with it, tall enough for every line it holds.
  void FitTickets();
  // The result area's font once a result is shown.
  QFont ResultAreaFont() const;
  void OnInitDialog();
  void PlaceMenuAndClient();
  QRadioButton* FilterButton(int position) const;
  QRadioButton* FrameButton(int position) const;
  static int CheckedPosition(const QButtonGroup* group);
  static void CheckPosition(QButtonGroup* group, int position);

  QIcon icon_;
  QString filePath_;
  FrameMode frameMode_ = FrameMode::Head;
  QString outputFile_;
  std::optional<QFont> resultFont_;
  std::optional<PredictionAnalysis> lastAnalysis_;
  // The encoding hint for the failed load's box, which follows AddLoadHint; empty: none.
  QString loadHint_;
  QPointer<SpectraWindow> spectraWindow_;  // null once closed: predictions then keep no spectra
  bool editGuard_ = false;
  FilterKind filterKind_ = FilterKind::LowPass;
  TextEncoding encoding_ = TextEncoding::kCp932;
  Game game_ = Game::kNumbers3;
  int resultExtraHeight_ = 0;   // pixels the result area has grown for the places beyond three
  int ticketsExtraHeight_ = 0;  // pixels the tickets box has grown for its lines

  QMenuBar* menuBar_ = nullptr;
  QMenu* toolsMenu_ = nullptr;
  QAction* openAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QActionGroup* encodingGroup_ = nullptr;
  QActionGroup* gameGroup_ = nullptr;
  QAction* aboutAction_ = nullptr;
  QAction* spectraAction_ = nullptr;
  QAction* evaluationAction_ = nullptr;
  // At most one, so two evaluations never run at once; closing it deletes it.
  QPointer<EvaluationWindow> evaluationWindow_;
  QWidget* client_ = nullptr;  // everything below the menu bar
  RoundEdit* roundEdit_ = nullptr;
  RoundSpin* roundSpin_ = nullptr;
  QLineEdit* pathEdit_ = nullptr;
  QLineEdit* outputEdit_ = nullptr;
  QPushButton* browseButton_ = nullptr;
  QPushButton* predictButton_ = nullptr;
  QButtonGroup* filterGroup_ = nullptr;
  QButtonGroup* frameGroup_ = nullptr;
  QGroupBox* frameBox_ = nullptr;
  QLabel* outputLabel_ = nullptr;
  QLabel* resultLabel_ = nullptr;
  QPlainTextEdit* ticketsView_ = nullptr;
  QLabel* iconLabel_ = nullptr;
  QLabel* logoLabel_ = nullptr;
};

}  // namespace tolvane
