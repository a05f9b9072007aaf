#pragma once

#include <optional>
#include <string>

#include "core/text_decoder.h"
#include "history/load_report.h"

namespace tolvane {

// After a load in `tried` failed on a line of the regular file at `path`: the other encoding
// when the file reads whole in it, holds characters beyond ASCII and is no valid text in `tried`
// (UTF-8 read as code page 932, or code page 932 read as UTF-8), so a front end can say which to
// choose; nullopt otherwise. Reads the file again; never throws.
std::optional<TextEncoding> SuggestedEncoding(const std::string& path, TextEncoding tried,
                                              const LoadReport& report);

}  // namespace tolvane
