#include "core/cp932.h"

#include <vector>

#include "core/cp932_builtin.h"
#include "core/cp932_table_decoder.h"
#include "core/iconv_converter.h"

namespace tolvane {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes to glibc's own 32-bit form (WCHAR_T), which takes one conversion step where UTF-16
// takes two, then narrows: every code page 932 character fits one UTF-16 unit.
class IconvCp932Decoder final : public Cp932Decoder {
 public:
  explicit IconvCp932Decoder(std::unique_ptr<IconvConverter> converter)
      : converter_(std::move(converter)) {}

  Decoded DecodeInto(std::string_view bytes, char16_t* out) override {
    // One wide character per byte at most.
    if (wide_.size() < bytes.size()) {
      wide_.resize(bytes.size());
    }
    const IconvConverter::Result result = converter_->Convert(
        bytes, reinterpret_cast<char*>(wide_.data()), wide_.size() * sizeof(wchar_t));
    const std::size_t units = result.produced / sizeof(wchar_t);
    for (std::size_t i = 0; i < units; ++i) {
      out[i] = static_cast<char16_t>(wide_[i]);
    }
    if (result.stop != IconvConverter::Stop::kDone) {
      return {false, units, result.consumed};
    }
    return {true, units, 0};
  }

 private:
  std::unique_ptr<IconvConverter> converter_;
  std::vector<wchar_t> wide_;  // reused between calls
};

}  // namespace

std::unique_ptr<Cp932Decoder> Cp932Decoder::Open() {
#ifdef TOLVANE_BUILTIN_CP932
  return OpenBuiltInCp932Decoder();
#endif
  std::unique_ptr<Cp932Decoder> iconv = OpenIconvOnly();
  if (!iconv) {
    return nullptr;
  }
  return std::make_unique<Cp932TableDecoder>(std::move(iconv));
}

std::unique_ptr<Cp932Decoder> Cp932Decoder::OpenIconvOnly() {
  static_assert(sizeof(wchar_t) == 4, "glibc's wchar_t holds any code point");
  std::unique_ptr<IconvConverter> converter = IconvConverter::Open("WCHAR_T", "CP932");
  if (!converter) {
    return nullptr;
  }
  return std::make_unique<IconvCp932Decoder>(std::move(converter));
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const std::unique_ptr<Cp932Decoder> decoder = Cp932Decoder::Open();
  if (!decoder) {
    // Without a converter only ASCII, which code page 932 shares, can be read faithfully.
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      out.push_back(byte < 0x80 ? static_cast<char16_t>(byte) : kReplacement);
    }
    return out;
  }
  while (!bytes.empty()) {
    std::size_t bad = 0;
    const std::optional<std::u16string> text = decoder->Decode(bytes, &bad);
    if (text) {
      out += *text;
      break;
    }
    // The part before the bad byte decodes; only the offending byte is replaced, so a valid byte
    // after a bad lead byte (such as a line feed) still decodes.
    out += decoder->Decode(bytes.substr(0, bad)).value_or(std::u16string());
    out.push_back(kReplacement);
    bytes.remove_prefix(bad + 1);
  }
  return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
#ifdef TOLVANE_BUILTIN_CP932
  return BuiltInUtf8ToCp932(utf8);
#endif
  const std::unique_ptr<IconvConverter> converter = IconvConverter::Open("CP932", "UTF-8");
  if (!converter) {
    return std::nullopt;
  }
  // Code page 932 never needs more bytes than UTF-8 for the same text.
  std::string out(utf8.size(), '\0');
  const IconvConverter::Result result = converter->Convert(utf8, out.data(), out.size());
  if (result.stop != IconvConverter::Stop::kDone) {
    return std::nullopt;
  }
  out.resize(result.produced);
  return out;
}

}  // namespace tolvane
