#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/cp932.h"

namespace tolvane {

// Code page 932 at memory speed with iconv's every decision: ASCII runs are widened without
// decoding (once iconv has shown that it maps every ASCII byte to itself), and each other byte
// or two-byte sequence is looked up in a table that iconv itself fills, one entry the first time
// that byte or sequence is met. A history holds a few dozen distinct characters, so iconv is
// asked a few dozen times.
//
// This rests on code page 932 being stateless: a byte that iconv rejects alone either starts a
// two-byte character or is bad, whatever came before it. Whenever iconv answers otherwise than
// that shape allows (no unit, or two, where one is expected), the whole call goes to iconv.
class Cp932TableDecoder final : public Cp932Decoder {
 public:
  explicit Cp932TableDecoder(std::unique_ptr<Cp932Decoder> iconv);

  Decoded DecodeInto(std::string_view bytes, char16_t* out) override;

 private:
  // An entry: 0 not asked yet, else the kind in the high bits and the unit in the low 16.
  enum : std::uint32_t {
    kUnknown = 0,
    kUnit = 1U << 16,      // decodes to the low 16 bits
    kNotAlone = 2U << 16,  // (one byte) a lead byte or a bad byte: look at the pair
    kBad = 3U << 16,       // (two bytes) not a character: the first byte is the bad one
    kAskIconv = 4U << 16,  // iconv answered outside the shape above
    kKindMask = 0xFFFFU << 16,
  };
  std::uint32_t Single(unsigned char byte);
  std::uint32_t Pair(unsigned char lead, unsigned char trail);
  std::uint32_t Ask(std::string_view bytes);

  std::unique_ptr<Cp932Decoder> iconv_;
  bool asciiIsItself_ = false;
  std::array<std::uint32_t, 256> single_{};
  // 65,536 entries in a mapping of their own: the kernel hands out zeroed pages as they are
  // first touched, so only those cost anything (from the heap, calloc would clear all 256 KiB).
  struct Unmap {
    void operator()(std::uint32_t* table) const;
  };
  std::unique_ptr<std::uint32_t[], Unmap> pairs_;
};

}  // namespace tolvane
