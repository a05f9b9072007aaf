#include "core/utf.h"

#include <cstdint>

#include "core/ascii_run.h"

namespace tolvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at the start of `text`; returns its length, or 0 when the bytes do
// not form a shortest-form scalar value (the caller then replaces one byte).
std::size_t DecodeUtf8(std::string_view text, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    cp = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) {
      return 0;
    }
    cp = (cp << 6) | (byte & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
    return 0;
  }
  return length;
}

}  // namespace

void AppendUtf16AsUtf8(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
      continue;
    }
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      unit = kReplacement;  // an unpaired surrogate has no UTF-8 form
    }
    AppendUtf8(out, unit);
  }
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf16AsUtf8(out, text);
  return out;
}

TextDecoder::Decoded Utf8Decoder::DecodeInto(std::string_view bytes, char16_t* out) {
  std::size_t pos = 0;
  std::size_t units = 0;
  while (pos < bytes.size()) {
    // ASCII is the same number in both forms; `units` never passes `pos`, so the run fits.
    const std::size_t ascii = WidenAsciiRun(bytes.data() + pos, bytes.size() - pos, out + units);
    pos += ascii;
    units += ascii;
    if (pos == bytes.size()) {
      break;
    }
    char32_t cp = 0;
    const std::size_t length = DecodeUtf8(bytes.substr(pos), cp);
    if (length == 0) {
      return {false, units, pos};
    }
    if (cp < 0x10000) {
      out[units++] = static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      out[units++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      out[units++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
    pos += length;
  }
  return {true, units, 0};
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t cp = 0;
    std::size_t length = DecodeUtf8(text, cp);
    if (length == 0) {
      cp = kReplacement;
      length = 1;
    }
    AppendUtf16(out, cp);
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace tolvane
