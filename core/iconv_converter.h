#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace tolvane {

// The project's one wrapper of a glibc iconv descriptor: every conversion between encodings that
// is not plain UTF-8/UTF-16 arithmetic goes through it, so iconv decides every byte.
class IconvConverter {
 public:
  // Nullptr when the system cannot convert `from` into `to` (iconv encoding names).
  static std::unique_ptr<IconvConverter> Open(const char* to, const char* from);

  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  enum class Stop {
    kDone,        // all input converted
    kInvalid,     // an input sequence that is not valid in the source encoding (or has no form
                  // in the target one)
    kIncomplete,  // the input ends inside a multi-byte sequence
    kOutputFull,  // `out` has no room for the next character
  };
  struct Result {
    Stop stop;
    std::size_t consumed;  // input bytes converted before the stop
    std::size_t produced;  // output bytes written
  };

  // Converts `in` into out[0, outSize), starting from the initial shift state.
  Result Convert(std::string_view in, char* out, std::size_t outSize);

 private:
  explicit IconvConverter(void* descriptor) : descriptor_(descriptor) {}
  void* descriptor_;  // an iconv_t, kept opaque so no caller needs <iconv.h>
};

}  // namespace tolvane
