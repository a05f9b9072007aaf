#include "app/gui/history_to_update.h"

#include <QFile>

#include "app/analysis_history.h"
#include "app/gui/option_labels.h"
#include "app/history_update_checks.h"

namespace tolvane {

HistoryToUpdate ReadHistoryToUpdate(const HistoryChoice& choice, const std::string& command) {
  HistoryToUpdate read;
  const std::string path = QFile::encodeName(choice.path).toStdString();
  const LoadOptions options{choice.encoding, choice.game};
  if (std::string problem = UpdateTargetKindProblem(path, command); !problem.empty()) {
    read.text = QStringLiteral("この履歴ファイルには追加できません。");
    read.detail = QString::fromStdString(problem);
    return read;
  }
  OwnedHistory history;
  const AnalysisHistory load = LoadAnalysisHistory(path, history, options);
  if (!load.loaded) {
    read.text = LoadFailureText(load);
    read.detail = QString::fromStdString(load.detail);
    return read;
  }
  std::string problem = UpdateTargetProblem(path, load.report, command);
  ImportResult failure;
  if (problem.empty() && !ReadHistoryContents(path, options, read.contents, failure)) {
    problem = ImportFailureDetail(path, failure);
  }
  if (!problem.empty()) {
    read.text = QStringLiteral("この履歴ファイルには追加できません。");
    read.detail = QString::fromStdString(problem);
    return read;
  }
  read.ok = true;
  return read;
}

QString RoundsName(std::int64_t first, std::int64_t last) {
  const QString from = QString::fromStdString(RoundName(first));
  return first == last ? from
                       : from + QStringLiteral("〜") + QString::fromStdString(RoundName(last));
}

}  // namespace tolvane
