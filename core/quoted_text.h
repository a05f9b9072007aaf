#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// A piece of a file's text for a message, in double quotes and UTF-8. Control characters (C0,
// DEL and C1) are written as escapes, \x1b or \u0085, so that bytes from a file can never move
// the cursor, clear the screen or retitle the terminal the message is read in. A lone low
// surrogate U+DC00..U+DCFF stands for a byte that was not decoded and is written as \x89.
std::string QuotedText(std::u16string_view text);

}  // namespace tolvane
