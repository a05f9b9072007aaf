#include "core/cp932_builtin.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/utf.h"

namespace tolvane {
namespace {

#include "core/cp932_builtin_table.inc"

constexpr unsigned kTrailCount = kCp932LastTrail - kCp932FirstTrail + 1;

// The row of each lead byte in kCp932Pairs; -1 for a byte that starts no character.
constexpr std::array<int, 256> LeadRows() {
  std::array<int, 256> rows{};
  rows.fill(-1);
  for (std::size_t i = 0; i < kCp932Leads.size(); ++i) {
    rows[kCp932Leads[i]] = static_cast<int>(i);
  }
  return rows;
}
constexpr std::array<int, 256> kLeadRows = LeadRows();

// The unit of a two-byte sequence; 0 when it is not a character.
char16_t PairUnit(unsigned char lead, unsigned char trail) {
  const int row = kLeadRows[lead];
  if (row < 0 || trail < kCp932FirstTrail || trail > kCp932LastTrail) {
    return 0;
  }
  return static_cast<char16_t>(
      kCp932Pairs[static_cast<std::size_t>(row) * kTrailCount + (trail - kCp932FirstTrail)]);
}

class BuiltInCp932Decoder final : public Cp932Decoder {
 public:
  Decoded DecodeInto(std::string_view bytes, char16_t* out) override {
    const std::size_t size = bytes.size();
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < size) {
      const auto byte = static_cast<unsigned char>(bytes[pos]);
      const std::int32_t single = kCp932Single[byte];
      if (single >= 0) {
        out[units++] = static_cast<char16_t>(single);
        pos += 1;
        continue;
      }
      // A lead byte cut off by the end, a bad trail or a bad byte: this byte is the bad one,
      // as iconv reports it.
      if (pos + 1 == size) {
        return {false, units, pos};
      }
      const char16_t unit = PairUnit(byte, static_cast<unsigned char>(bytes[pos + 1]));
      if (unit == 0) {
        return {false, units, pos};
      }
      out[units++] = unit;
      pos += 2;
    }
    return {true, units, 0};
  }
};

// Each unit's byte sequence as iconv writes it; -1 where it has none.
std::vector<std::int32_t> EncodeTable() {
  std::vector<std::int32_t> codes(std::size_t{1} << 16, -1);
  const auto lowest = [&codes](std::int32_t unit, std::int32_t code) {
    if (codes[static_cast<std::size_t>(unit)] < 0) {
      codes[static_cast<std::size_t>(unit)] = code;
    }
  };
  // Single bytes are lower sequences than any pair, so they go first.
  for (std::int32_t byte = 0; byte < 256; ++byte) {
    if (kCp932Single[static_cast<std::size_t>(byte)] >= 0) {
      lowest(kCp932Single[static_cast<std::size_t>(byte)], byte);
    }
  }
  for (std::size_t row = 0; row < kCp932Leads.size(); ++row) {
    for (unsigned trail = 0; trail < kTrailCount; ++trail) {
      const std::uint16_t unit = kCp932Pairs[row * kTrailCount + trail];
      if (unit != 0) {
        lowest(unit, static_cast<std::int32_t>((unsigned{kCp932Leads[row]} << 8) |
                                               (trail + kCp932FirstTrail)));
      }
    }
  }
  for (const auto& [unit, code] : kCp932EncodeExceptions) {
    codes[unit] = code == 0 ? -1 : code;
  }
  return codes;
}

}  // namespace

std::unique_ptr<Cp932Decoder> OpenBuiltInCp932Decoder() {
  return std::make_unique<BuiltInCp932Decoder>();
}

std::optional<std::string> BuiltInUtf8ToCp932(std::string_view utf8) {
  static const std::vector<std::int32_t> codes = EncodeTable();
  std::u16string text(utf8.size(), u'\0');
  Utf8Decoder decoder;
  const TextDecoder::Decoded decoded = decoder.DecodeInto(utf8, text.data());
  if (!decoded.ok) {
    return std::nullopt;
  }
  std::string out;
  out.reserve(decoded.units);
  for (std::size_t i = 0; i < decoded.units; ++i) {
    const std::int32_t code = codes[text[i]];  // a surrogate has no code: beyond the plane
    if (code < 0) {
      return std::nullopt;
    }
    if (code > 0xFF) {
      out.push_back(static_cast<char>(code >> 8));
    }
    out.push_back(static_cast<char>(code & 0xFF));
  }
  return out;
}

}  // namespace tolvane
