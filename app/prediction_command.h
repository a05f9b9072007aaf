#pragma once

#include <string>

#include "app/prediction_view.h"

namespace tolvane {

// One press of the prediction button: checks the path, loads the history, predicts the three
// places and shows the formatted result, reporting every failure through the view's message
// boxes. Never throws. logPath is handed to the loader and the predictors; the window passes "".
void RunPredictionCommand(PredictionView& view, const std::string& logPath = "");

// _wtoi rules: leading white space, an optional sign, then decimal digits up to the first other
// character; no digits give 0.
int WideToInt(const std::u16string& text);

}  // namespace tolvane
