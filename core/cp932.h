#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_decoder.h"

namespace tolvane {

// Code page 932 (Shift_JIS with the Microsoft extensions) to UTF-16, through glibc iconv.
// Every code page 932 character lies in the Basic Multilingual Plane: one character, one unit.
class Cp932Decoder : public TextDecoder {
 public:
  // Nullptr when the system has no code page 932 converter.
  static std::unique_ptr<Cp932Decoder> Open();
};

// For display: undecodable bytes become U+FFFD, so a text always arrives.
std::u16string Cp932ToUtf16(std::string_view bytes);

// UTF-8 text as code page 932 bytes; nullopt when a character has no code page 932 form, the
// text is not valid UTF-8, or the system has no converter.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

}  // namespace tolvane
