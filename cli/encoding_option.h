#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "app/text_encodings.h"
#include "cli/word_option.h"

namespace tolvane::cli {

// --encoding cp932|utf-8: how a command reads its HISTORY file (code page 932 by default).
inline CLI::Option* AddEncodingOption(CLI::App& command, TextEncoding& encoding,
                                      const std::string& file = "the history file") {
  return AddWordOption(
      command, "--encoding", encoding, kTextEncodings,
      "Encoding of " + file + ": cp932 (Shift_JIS, the default) or utf-8 (decoded strictly)");
}

}  // namespace tolvane::cli
