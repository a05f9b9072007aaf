#include "app/encoding_suggestion.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <string_view>

#include "core/cp932.h"
#include "core/utf.h"
#include "history/history_line_reader.h"
#include "history/utf8_hint.h"

namespace tolvane {
namespace {

// True when every line decodes and one holds a character beyond ASCII. Only a regular file is
// read: a pipe's bytes are gone, and opening a FIFO could wait for ever.
bool ReadsWholeBeyondAscii(const std::string& path, TextDecoder& decoder) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  try {
    HistoryLineReader reader(path, decoder, "");
    if (!reader.IsOpen()) {
      return false;
    }
    bool beyondAscii = false;
    std::u16string_view line;
    while (reader.Next(line)) {
      beyondAscii = beyondAscii || std::any_of(line.begin(), line.end(),
                                               [](char16_t unit) { return unit >= 0x80; });
    }
    return beyondAscii;
  } catch (const std::exception&) {
    return false;  // undecodable, an overlong line or a read error
  }
}

}  // namespace

std::optional<TextEncoding> SuggestedEncoding(const std::string& path, TextEncoding tried,
                                              const LoadReport& report) {
  if (report.line == 0) {
    return std::nullopt;  // the file as a whole failed: no encoding reads it
  }
  if (tried == TextEncoding::kCp932) {
    return LooksLikeUtf8(path) ? std::optional(TextEncoding::kUtf8) : std::nullopt;
  }
  try {
    const std::unique_ptr<Cp932Decoder> cp932 = Cp932Decoder::Open();
    Utf8Decoder utf8;
    if (cp932 != nullptr && ReadsWholeBeyondAscii(path, *cp932) &&
        !ReadsWholeBeyondAscii(path, utf8)) {
      return TextEncoding::kCp932;
    }
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    // No decoder to try with: no suggestion.
  }
  return std::nullopt;
}

}  // namespace tolvane
