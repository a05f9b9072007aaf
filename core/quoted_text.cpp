#include "core/quoted_text.h"

#include <array>
#include <cstdio>

#include "core/utf.h"

namespace tolvane {

std::string QuotedText(std::u16string_view text) {
  std::string quoted = "\"";
  std::size_t plain = 0;  // start of the run not yet copied
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char16_t unit = i < text.size() ? text[i] : u'\0';
    // A low surrogate after no high one is a byte shown as itself (U+DC00 plus the byte).
    const bool byte = unit >= 0xDC00 && unit <= 0xDCFF &&
                      (i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF);
    const bool control = i < text.size() && (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || byte);
    if (!control && i < text.size()) {
      continue;
    }
    AppendUtf16AsUtf8(quoted, text.substr(plain, i - plain));
    if (control) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), unit < 0x80 || byte ? "\\x%02x" : "\\u%04x",
                    static_cast<unsigned>(unit & (byte ? 0xFFU : 0xFFFFU)));
      quoted += escape.data();
      plain = i + 1;
    }
  }
  return quoted + "\"";
}

}  // namespace tolvane
