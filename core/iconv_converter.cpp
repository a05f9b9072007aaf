#include "core/iconv_converter.h"

#include <iconv.h>

#include <cerrno>

namespace tolvane {

std::unique_ptr<IconvConverter> IconvConverter::Open(const char* to, const char* from) {
  const iconv_t descriptor = iconv_open(to, from);
  // (iconv_t)-1 is iconv_open's documented failure value, not null.
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
    return nullptr;
  }
  return std::unique_ptr<IconvConverter>(new IconvConverter(descriptor));
}

IconvConverter::~IconvConverter() { iconv_close(static_cast<iconv_t>(descriptor_)); }

IconvConverter::Result IconvConverter::Convert(std::string_view in, char* out,
                                               std::size_t outSize) {
  const auto descriptor = static_cast<iconv_t>(descriptor_);
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  // iconv's interface is not const-correct; it never writes through the input pointer.
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out;
  std::size_t outLeft = outSize;
  const std::size_t rc = iconv(descriptor, &inPtr, &inLeft, &outPtr, &outLeft);
  const int error = errno;
  Result result{Stop::kDone, in.size() - inLeft, outSize - outLeft};
  if (rc == static_cast<std::size_t>(-1)) {
    result.stop = error == EINVAL  ? Stop::kIncomplete
                  : error == E2BIG ? Stop::kOutputFull
                                   : Stop::kInvalid;
  }
  return result;
}

}  // namespace tolvane
