#include "history/draw_fields.h"

namespace tolvane {

void DrawFields::Split(std::u16string_view line) {
  views_.fill({});
  count_ = 1;
  // The common case, one pass: no quotes, so fields are plain slices of the line.
  std::size_t start = 0;
  std::size_t i = 0;
  for (; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c == u',') {
      if (count_ <= kKept) {
        views_[count_ - 1] = line.substr(start, i - start);
      }
      ++count_;
      start = i + 1;
    } else if (c == u'"') {
      break;
    }
  }
  if (i == line.size()) {
    if (count_ <= kKept) {
      views_[count_ - 1] = line.substr(start);
    }
    return;
  }

  views_.fill({});
  count_ = 1;
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
