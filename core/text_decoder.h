#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The encodings a history file may be in.
enum class TextEncoding { kCp932, kUtf8 };

// Decodes bytes of one encoding into UTF-16, strictly: a byte sequence that is not valid in the
// encoding fails the whole call. Every encoding read here gives at most one UTF-16 unit per byte
// (UTF-8's four-byte form gives two), which is what lets a reader decode into a buffer it sized
// once.
class TextDecoder {
 public:
  virtual ~TextDecoder() = default;

  struct Decoded {
    bool ok;
    std::size_t units;        // written to `out`; on failure those of the bytes before the bad one
    std::size_t errorOffset;  // on failure, the offset of the first bad byte
  };

  // Decodes `bytes` into out[0, bytes.size()), which the caller provides. Units past the ones
  // reported may be overwritten.
  virtual Decoded DecodeInto(std::string_view bytes, char16_t* out) = 0;

  // The same into a new text; nullopt on an invalid or truncated sequence, with `errorOffset`
  // (if given) set to the offset of the first bad byte.
  std::optional<std::u16string> Decode(std::string_view bytes, std::size_t* errorOffset = nullptr) {
    std::u16string text(bytes.size(), u'\0');
    const Decoded decoded = DecodeInto(bytes, text.data());
    if (!decoded.ok) {
      if (errorOffset != nullptr) {
        *errorOffset = decoded.errorOffset;
      }
      return std::nullopt;
    }
    text.resize(decoded.units);
    return text;
  }
};

}  // namespace tolvane
