#include "history/import_columns.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "core/quoted_text.h"
#include "core/utf.h"

namespace tolvane {
namespace {

struct Role {
  const char* what;  // in the reason
  std::vector<std::u16string_view> names;
};

bool SameName(std::u16string_view field, std::u16string_view name) {
  const auto lower = [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  };
  return field.size() == name.size() &&
         std::equal(field.begin(), field.end(), name.begin(),
                    [&lower](char16_t a, char16_t b) { return lower(a) == lower(b); });
}

std::optional<std::size_t> Find(const std::vector<std::u16string>& header, const Role& role) {
  for (const std::u16string_view name : role.names) {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (SameName(header[i], name)) {
        return i;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::size_t ImportColumns::FieldsNeeded() const {
  const std::size_t last = std::max({round, date, number});
  // Saturates: a position no line can reach fails every line instead of wrapping to 0.
  return last < std::numeric_limits<std::size_t>::max() ? last + 1 : last;
}

std::optional<ImportColumns> FindImportColumns(const std::vector<std::u16string>& header,
                                               std::string& reason) {
  const std::array<Role, 3> roles = {{
      {"round", {u"回別", u"回号", u"開催回", u"回", u"No"}},
      {"date", {u"抽せん日", u"抽選日", u"日付"}},
      {"winning number", {u"当せん番号", u"当選番号", u"当選数字", u"本数字"}},
  }};
  std::array<std::optional<std::size_t>, 3> found;
  std::vector<std::string> missing;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    found[i] = Find(header, roles[i]);
    if (!found[i]) {
      missing.push_back("the " + std::string(roles[i].what));
    }
  }
  if (!missing.empty()) {
    // "the round", "the round or the date", "the round, the date or the winning number"
    std::string names = missing.back();
    if (missing.size() > 1) {
      names = missing[missing.size() - 2] + " or " + names;
    }
    if (missing.size() > 2) {
      names = missing[0] + ", " + names;
    }
    std::string fields;
    for (const std::u16string& field : header) {
      fields += (fields.empty() ? "" : ", ") + QuotedText(field);
    }
    reason = "the header names no column for " + names + " (its fields: " + fields + ")";
    return std::nullopt;
  }
  return ImportColumns{*found[0], *found[1], *found[2]};
}

PayoutColumns FindPayoutColumns(const std::vector<std::u16string>& header) {
  struct Names {
    std::vector<std::string> japanese;
    std::string code;
  };
  const std::array<Names, kPayoutKinds> names = {{
      {{"ストレート"}, "STR"},
      {{"ボックス"}, "BOX"},
      {{"セット(ストレート)", "セットのストレート"}, "SET-STR"},
      {{"セット(ボックス)", "セットのボックス"}, "SET-BOX"},
      {{"ミニ"}, "ミニ"},
  }};
  PayoutColumns found;
  for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
    std::vector<std::string> accepted = {"金額[" + names[kind].code + "]"};
    for (const std::string& japanese : names[kind].japanese) {
      accepted.insert(accepted.end(), {japanese + "賞金額", japanese + "賞金", japanese});
    }
    for (std::size_t field = 0; field < header.size() && !found[kind]; ++field) {
      const std::string name = Utf16ToUtf8(header[field]);
      if (std::find(accepted.begin(), accepted.end(), name) != accepted.end()) {
        found[kind] = field;
      }
    }
  }
  return found;
}

}  // namespace tolvane
