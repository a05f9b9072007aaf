#include "history/utf8_hint.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <string_view>

#include "core/utf.h"
#include "history/history_line_reader.h"

namespace tolvane {

bool LooksLikeUtf8(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  try {
    Utf8Decoder decoder;
    // The loader's own reader: the same line limit, and the file is never held whole.
    HistoryLineReader reader(path, decoder, "UTF-8");
    if (!reader.IsOpen()) {
      return false;
    }
    bool nonAscii = false;
    std::u16string_view line;
    while (reader.Next(line)) {
      nonAscii = nonAscii ||
                 std::any_of(line.begin(), line.end(), [](char16_t unit) { return unit >= 0x80; });
    }
    return nonAscii;
  } catch (const std::exception&) {
    return false;  // invalid UTF-8, an overlong line or a read error: no reason to suggest it
  }
}

void AddUtf8Hint(const std::string& path, const LoadOptions& options, LoadReport& report) {
  if (options.encoding != TextEncoding::kCp932 || report.line == 0 || !LooksLikeUtf8(path)) {
    return;
  }
  try {
    report.reason += kUtf8HintText;
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    // Out of memory for a hint: the reason without it is still true.
  }
}

}  // namespace tolvane
