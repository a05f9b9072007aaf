#include "history/draw_fields.h"

namespace tolvane {

void DrawFields::Split(std::u16string_view line) {
  views_.fill({});
  count_ = 1;
  if (line.find(u'"') == std::u16string_view::npos) {
    // The common case: fields are plain slices of the line.
    std::size_t start = 0;
    for (std::size_t comma = line.find(u','); comma != std::u16string_view::npos;
         comma = line.find(u',', start)) {
      if (count_ <= kKept) {
        views_[count_ - 1] = line.substr(start, comma - start);
      }
      ++count_;
      start = comma + 1;
    }
    if (count_ <= kKept) {
      views_[count_ - 1] = line.substr(start);
    }
    return;
  }

  for (auto& field : unquoted_) {
    field.clear();
  }
  bool quoted = false;
  for (const char16_t c : line) {
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      ++count_;
    } else if (count_ <= kKept) {
      unquoted_[count_ - 1].push_back(c);
    }
  }
  for (std::size_t i = 0; i < kKept && i < count_; ++i) {
    views_[i] = unquoted_[i];
  }
}

}  // namespace tolvane
