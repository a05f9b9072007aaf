#include "history/cp932.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tolvane {
namespace {

// iconv writes bytes, so the UTF-16 side must name the host's byte order to yield char16_t.
constexpr const char* kUtf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

// Owns one iconv descriptor; iconv_open reports failure as (iconv_t)-1, not as null.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (IsOpen()) {
      iconv_close(cd_);
    }
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool IsOpen() const {
    // (iconv_t)-1 is iconv_open's documented failure value.
    return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

enum class Outcome { kDone, kInvalid, kIncomplete };

// Converts as much of `bytes` as possible into `out`, which is sized to fit (one code unit per
// input byte at most). `consumed` is where conversion stopped.
Outcome ConvertRun(iconv_t cd, std::string_view bytes, std::u16string& out, std::size_t& consumed) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const std::size_t startUnits = out.size();
  out.resize(startUnits + bytes.size());
  // iconv's interface is not const-correct; it never writes through the input pointer.
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = reinterpret_cast<char*>(out.data() + startUnits);
  std::size_t outLeft = bytes.size() * sizeof(char16_t);
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  const int error = errno;
  consumed = bytes.size() - inLeft;
  out.resize(startUnits + (bytes.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
  if (rc != static_cast<std::size_t>(-1)) {
    return Outcome::kDone;
  }
  return error == EINVAL ? Outcome::kIncomplete : Outcome::kInvalid;
}

// Decodes to glibc's own 32-bit form (WCHAR_T), which takes one conversion step where UTF-16
// takes two, then narrows: every code page 932 character fits one UTF-16 unit.
class IconvCp932Decoder final : public Cp932Decoder {
 public:
  explicit IconvCp932Decoder(std::unique_ptr<IconvHandle> handle) : handle_(std::move(handle)) {}

  std::optional<std::u16string> Decode(std::string_view bytes, std::size_t* errorOffset) override {
    iconv(handle_->get(), nullptr, nullptr, nullptr, nullptr);
    wide_.resize(bytes.size());
    char* in = const_cast<char*>(bytes.data());  // iconv never writes through it
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(wide_.data());
    std::size_t outLeft = wide_.size() * sizeof(wchar_t);
    if (iconv(handle_->get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
      if (errorOffset != nullptr) {
        *errorOffset = bytes.size() - inLeft;
      }
      return std::nullopt;
    }
    const std::size_t units = wide_.size() - outLeft / sizeof(wchar_t);
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) {
      text[i] = static_cast<char16_t>(wide_[i]);
    }
    return text;
  }

 private:
  std::unique_ptr<IconvHandle> handle_;
  std::vector<wchar_t> wide_;  // reused between calls
};

}  // namespace

std::unique_ptr<Cp932Decoder> Cp932Decoder::Open() {
  static_assert(sizeof(wchar_t) == 4, "glibc's wchar_t holds any code point");
  auto handle = std::make_unique<IconvHandle>("WCHAR_T", "CP932");
  if (!handle->IsOpen()) {
    return nullptr;
  }
  return std::make_unique<IconvCp932Decoder>(std::move(handle));
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  const IconvHandle handle(kUtf16Native, "CP932");
  if (!handle.IsOpen()) {
    // Without a converter only ASCII, which code page 932 shares, can be read faithfully.
    out.reserve(bytes.size());
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      out.push_back(byte < 0x80 ? static_cast<char16_t>(byte) : kReplacement);
    }
    return out;
  }
  while (!bytes.empty()) {
    std::size_t consumed = 0;
    const Outcome outcome = ConvertRun(handle.get(), bytes, out, consumed);
    if (outcome == Outcome::kDone) {
      break;
    }
    out.push_back(kReplacement);
    if (outcome == Outcome::kIncomplete) {
      break;
    }
    // Skip only the offending byte, so a valid byte after a bad lead byte still decodes.
    bytes.remove_prefix(consumed + 1);
  }
  return out;
}

}  // namespace tolvane
