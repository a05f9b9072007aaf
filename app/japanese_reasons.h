#pragma once

#include <string>

namespace tolvane {

// The loader's and the merge's reasons, which the command line prints in English, in the
// window's Japanese: the path and line before the reason, the quoted values and the round names
// stay as they are. A reason of no known form comes back unchanged. UTF-8 in and out.
std::string JapaneseReason(const std::string& reason);

}  // namespace tolvane
