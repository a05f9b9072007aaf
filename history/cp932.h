#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// Code page 932 (Shift_JIS with the Microsoft extensions) to UTF-16, through glibc iconv.
// Every code page 932 character lies in the Basic Multilingual Plane: one character, one unit.
class Cp932Decoder {
 public:
  // Nullptr when the system has no code page 932 converter.
  static std::unique_ptr<Cp932Decoder> Open();

  virtual ~Cp932Decoder() = default;

  // Decodes `bytes` completely. On an undecodable or truncated sequence returns nullopt and
  // sets `errorOffset` (if given) to the offset of the first bad byte.
  virtual std::optional<std::u16string> Decode(std::string_view bytes,
                                               std::size_t* errorOffset = nullptr) = 0;
};

// Conveniences for the front ends, which show the analysis side's code page 932 texts.
// Undecodable bytes become U+FFFD, so a text always arrives.
std::u16string Cp932ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);  // invalid UTF-8 becomes U+FFFD

}  // namespace tolvane
