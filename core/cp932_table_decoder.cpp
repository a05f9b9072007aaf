#include "core/cp932_table_decoder.h"

#include <sys/mman.h>

#include <new>

#include "core/ascii_run.h"

namespace tolvane {

namespace {

constexpr std::size_t kPairTableBytes = (std::size_t{1} << 16) * sizeof(std::uint32_t);

}  // namespace

void Cp932TableDecoder::Unmap::operator()(std::uint32_t* table) const {
  ::munmap(table, kPairTableBytes);
}

Cp932TableDecoder::Cp932TableDecoder(std::unique_ptr<Cp932Decoder> iconv)
    : iconv_(std::move(iconv)) {
  void* table =
      ::mmap(nullptr, kPairTableBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (table == MAP_FAILED) {
    throw std::bad_alloc();
  }
  pairs_.reset(static_cast<std::uint32_t*>(table));
  std::array<char, 128> ascii{};
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    ascii[i] = static_cast<char>(i);
  }
  std::array<char16_t, 128> units{};
  const Decoded decoded =
      iconv_->DecodeInto(std::string_view(ascii.data(), ascii.size()), units.data());
  asciiIsItself_ = decoded.ok && decoded.units == ascii.size();
  for (std::size_t i = 0; asciiIsItself_ && i < units.size(); ++i) {
    asciiIsItself_ = units[i] == i;
  }
}

// One character of `bytes` (one or two bytes) as iconv decodes it.
std::uint32_t Cp932TableDecoder::Ask(std::string_view bytes) {
  std::array<char16_t, 2> units{};
  const Decoded decoded = iconv_->DecodeInto(bytes, units.data());
  if (decoded.ok) {
    return decoded.units == 1 ? kUnit | units[0] : kAskIconv;
  }
  if (decoded.errorOffset != 0) {
    return kAskIconv;  // a pair whose first byte decodes alone: not the shape of a pair
  }
  return bytes.size() == 1 ? kNotAlone : kBad;
}

std::uint32_t Cp932TableDecoder::Single(unsigned char byte) {
  std::uint32_t& entry = single_[byte];
  if (entry == kUnknown) {
    const char text = static_cast<char>(byte);
    entry = Ask(std::string_view(&text, 1));
  }
  return entry;
}

std::uint32_t Cp932TableDecoder::Pair(unsigned char lead, unsigned char trail) {
  std::uint32_t& entry = pairs_[(std::size_t{lead} << 8) | trail];
  if (entry == kUnknown) {
    const std::array<char, 2> text = {static_cast<char>(lead), static_cast<char>(trail)};
    entry = Ask(std::string_view(text.data(), text.size()));
  }
  return entry;
}

TextDecoder::Decoded Cp932TableDecoder::DecodeInto(std::string_view bytes, char16_t* out) {
  const std::size_t size = bytes.size();
  std::size_t pos = 0;
  std::size_t units = 0;  // never more than pos: every character takes at least one byte
  while (pos < size) {
    if (asciiIsItself_) {
      const std::size_t ascii = WidenAsciiRun(bytes.data() + pos, size - pos, out + units);
      pos += ascii;
      units += ascii;
      if (pos == size) {
        break;
      }
    }
    // The common case first, straight from the tables; anything else (an entry not filled
    // yet, a bad byte, a lead byte at the end) takes the careful way below.
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    const std::uint32_t single = single_[byte];
    if ((single & kKindMask) == kUnit) {
      out[units++] = static_cast<char16_t>(single);
      pos += 1;
      continue;
    }
    if (single == kNotAlone && pos + 1 < size) {
      const std::uint32_t pair =
          pairs_[(std::size_t{byte} << 8) | static_cast<unsigned char>(bytes[pos + 1])];
      if ((pair & kKindMask) == kUnit) {
        out[units++] = static_cast<char16_t>(pair);
        pos += 2;
        continue;
      }
    }

    std::uint32_t entry = Single(byte);
    std::size_t length = 1;
    if (entry == kNotAlone) {
      if (pos + 1 == size) {
        return {false, units, pos};  // a lead byte cut off, or a bad byte: either way this one
      }
      entry = Pair(byte, static_cast<unsigned char>(bytes[pos + 1]));
      length = 2;
    }
    if (entry == kBad) {
      return {false, units, pos};
    }
    if (entry == kAskIconv) {
      return iconv_->DecodeInto(bytes, out);
    }
    out[units++] = static_cast<char16_t>(entry & 0xFFFFU);
    pos += length;
  }
  return {true, units, 0};
}

}  // namespace tolvane
