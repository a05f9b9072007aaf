#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// UTF-16 <-> UTF-8, fixed by their standards, so written out rather than looked up. Both are
// lenient: an unpaired surrogate or a malformed UTF-8 sequence becomes U+FFFD, so a text always
// arrives.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace tolvane
