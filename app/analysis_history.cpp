#include "app/analysis_history.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/encoding_suggestion.h"
#include "app/messages.h"
#include "app/prediction_command.h"

namespace tolvane {

AnalysisHistory LoadAnalysisHistory(const std::string& path, OwnedHistory& history,
                                    const LoadOptions& options) {
  AnalysisHistory result;
  if (path.empty()) {
    result.text = kEmptyPathText;
    result.caption = kErrorCaption;
    return result;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    result.text = kMissingPathText;
    result.caption = kErrorCaption;
    result.detail = path + ": " + std::strerror(errno);
    return result;
  }
  if (LoadDrawHistory(path, history.get(), "", &result.report, options) != kLoadOk) {
    result.suggested = SuggestedEncoding(path, options.encoding, result.report);
    result.text = std::u16string(kErrorPrefix) + LoadFailedText(options.game);
    result.detail = LoadFailureDetail(path, result.report);
    return result;
  }
  result.loaded = true;
  return result;
}

}  // namespace tolvane
