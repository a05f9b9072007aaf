#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "core/text_decoder.h"
#include "predict/prediction_options.h"

namespace tolvane {

// The encodings a history may be read in: the word on the command line and in the window's
// settings, the label of the window's menu item. The first entry is the default.
inline constexpr std::array<OptionEntry<TextEncoding>, 2> kTextEncodings = {{
    {TextEncoding::kCp932, "cp932", "Shift_JIS (CP932)"},
    {TextEncoding::kUtf8, "utf-8", "UTF-8"},
}};

inline std::string_view Word(TextEncoding encoding) { return WordIn(kTextEncodings, encoding); }

inline std::optional<TextEncoding> TextEncodingFromWord(std::string_view word) {
  return KindIn<TextEncoding>(kTextEncodings, word);
}

}  // namespace tolvane
