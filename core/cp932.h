#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_decoder.h"

namespace tolvane {

// Code page 932 (Shift_JIS with the Microsoft extensions) to UTF-16; glibc iconv decides every
// byte. Every code page 932 character lies in the Basic Multilingual Plane: one character, one
// unit.
class Cp932Decoder : public TextDecoder {
 public:
  // The decoder to read files with: it asks iconv once per distinct character and remembers the
  // answer (core/cp932_table_decoder.h), so its results are exactly OpenIconvOnly()'s. Nullptr
  // when the system has no code page 932 converter.
  static std::unique_ptr<Cp932Decoder> Open();
  // Every call a plain iconv conversion: the reference the table is tested against.
  static std::unique_ptr<Cp932Decoder> OpenIconvOnly();
};

// For display: undecodable bytes become U+FFFD, so a text always arrives.
std::u16string Cp932ToUtf16(std::string_view bytes);

// UTF-8 text as code page 932 bytes; nullopt when a character has no code page 932 form, the
// text is not valid UTF-8, or the system has no converter.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

}  // namespace tolvane
