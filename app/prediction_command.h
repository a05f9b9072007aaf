#pragma once

#include <string>

#include "app/prediction_view.h"

namespace tolvane {

// One press of the prediction button: checks the path, loads the history, predicts the three
// places and shows the formatted result, reporting every failure through the view's message
// boxes. Never throws. logPath is handed to the loader and the predictors; the window passes "".
void RunPredictionCommand(PredictionView& view, const std::string& logPath = "");

// The round as typed: a leading integer (core/leading_integer.h); no digits give 0, and values
// past the 32-bit range saturate, so any text gives a number to show.
int RoundNumberFromText(const std::u16string& text);

}  // namespace tolvane
