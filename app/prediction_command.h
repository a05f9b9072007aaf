#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/prediction_view.h"
#include "history/load_report.h"

namespace tolvane {

// How a run ended, for front ends that report more than the window's message boxes say.
struct PredictionOutcome {
  enum class Stage {
    kNoPath,       // no history path was given
    kMissingPath,  // nothing exists at the path
    kLoadFailed,   // the loader refused the file: `load` says where and why
    kFailed,       // an exception ended the run
    kPredicted,    // the result text was shown; `placeRanked` says which places have a ranking
  };
  Stage stage = Stage::kFailed;
  std::string path;  // the history path as handed to the loader (UTF-8)
  LoadReport load;   // the loader's report (draws read, or the failure)
  Game game = Game::kNumbers3;
  std::vector<bool> placeRanked;  // one per place of the game, highest first
};

// One press of the prediction button: checks the path, loads the history, predicts every place
// of the game chosen and shows the formatted result, reporting every failure through the view's
// message boxes (a failed load with where and why as the box's detail). Never throws. logPath is
// handed to the loader and the predictors; the window passes "".
PredictionOutcome RunPredictionCommand(PredictionView& view, const std::string& logPath = "");

// Where and why a load failed, as one line: "PATH:LINE: REASON" for a line of the file,
// "PATH: REASON" for the file as a whole.
std::string LoadFailureDetail(const std::string& path, const LoadReport& report);

// The warning for a history whose rounds do not go up line by line, naming the first line out of
// order: "PATH:LINE: ..."; empty when they do.
std::string OrderWarningDetail(const std::string& path, const LoadReport& report);

// The warning for a Numbers 3 history with a winning number longer than three digits, whose
// first three were used: "PATH:LINE: winning number "2304" is longer than three digits; its
// first three are used", or, when every winning number has four digits, that the file looks like
// a Numbers 4 history; empty when there is none.
std::string LongNumberWarningDetail(const std::string& path, const LoadReport& report);

// The round as typed: a leading integer (core/leading_integer.h); no digits give 0, and values
// past the 32-bit range saturate, so any text gives a number to show.
int RoundNumberFromText(const std::u16string& text);

}  // namespace tolvane
