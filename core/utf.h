#pragma once

#include <string>
#include <string_view>

#include "core/text_decoder.h"

namespace tolvane {

// UTF-16 <-> UTF-8, fixed by their standards, so written out rather than looked up. Both are
// lenient: an unpaired surrogate or a malformed UTF-8 sequence becomes U+FFFD, so a text always
// arrives.
std::string Utf16ToUtf8(std::u16string_view text);
// Utf16ToUtf8 onto the end of `out`.
void AppendUtf16AsUtf8(std::string& out, std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Strict UTF-8 for input files: an overlong form, an encoded surrogate, a code point past
// U+10FFFF or a truncated sequence fails the decode instead of being replaced.
class Utf8Decoder final : public TextDecoder {
 public:
  Decoded DecodeInto(std::string_view bytes, char16_t* out) override;
};

}  // namespace tolvane
