#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvane {

// The fields of one draw line, split at the commas outside double quotes. A quote toggles the
// quoted state wherever it stands and is dropped; nothing is trimmed. Only the first four fields
// are kept (the loader reads no further), but every field is counted.
class DrawFields {
 public:
  static constexpr std::size_t kKept = 4;

  // The views stay valid until the next Split and while `line` lives.
  void Split(std::u16string_view line);

  std::size_t count() const { return count_; }
  std::u16string_view operator[](std::size_t index) const { return views_[index]; }

 private:
  std::size_t count_ = 0;
  std::array<std::u16string_view, kKept> views_{};
  // Quoted lines need their quotes removed, so their fields are copied here; the buffers are
  // reused from line to line.
  std::array<std::u16string, kKept> unquoted_{};
};

}  // namespace tolvane
