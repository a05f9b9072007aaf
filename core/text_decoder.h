#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The encodings a history file may be in.
enum class TextEncoding { kCp932, kUtf8 };

// Decodes bytes of one encoding into UTF-16, strictly: a byte sequence that is not valid in the
// encoding fails the whole call.
class TextDecoder {
 public:
  virtual ~TextDecoder() = default;

  // Decodes `bytes` completely. On an invalid or truncated sequence returns nullopt and sets
  // `errorOffset` (if given) to the offset of the first bad byte.
  virtual std::optional<std::u16string> Decode(std::string_view bytes,
                                               std::size_t* errorOffset = nullptr) = 0;
};

}  // namespace tolvane
