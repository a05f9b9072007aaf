#include "history/import_columns.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "core/quoted_text.h"
#include "core/utf.h"

namespace tolvane {
namespace {

// ---- The names a results file's header may give its columns ----

struct Role {
  const char* what;  // in messages
  std::vector<std::u16string_view> names;
};

const std::array<Role, 3>& Roles() {
  static const std::array<Role, 3> roles = {{
      {"round",
       {u"回別", u"回号", u"開催回", u"抽せん回", u"抽選回", u"回", u"No", u"draw_number", u"round",
        u"round_number", u"draw_no", u"draw"}},
      {"date", {u"抽せん日", u"抽選日", u"日付", u"開催日", u"draw_date", u"date"}},
      {"winning number",
       {u"当せん番号", u"当選番号", u"当せん数字", u"当選数字", u"本数字", u"winning_number",
        u"winning_numbers", u"number", u"numbers"}},
  }};
  return roles;
}

// The kinds of bet by every name a header gives them, in the order of PayoutKind (an empty name
// ends a list).
constexpr std::array<std::array<std::u16string_view, 4>, kPayoutKinds> kBetNames = {{
    {u"ストレート", u"straight", u"str"},
    {u"ボックス", u"box"},
    {u"セット(ストレート)", u"セットのストレート", u"set_straight", u"set_str"},
    {u"セット(ボックス)", u"セットのボックス", u"set_box"},
    {u"ミニ", u"mini"},
}};

// Words put before or after a kind of bet: a payout's, or a winner count's.
struct Affix {
  std::u16string_view word;
  bool before;  // 金額[STR]; else after: ストレート賞金
  bool count;   // the column counts winners and pays nothing
};
constexpr std::array<Affix, 26> kAffixes = {{
    {u"", false, false},         {u"賞金", false, false},       {u"賞金額", false, false},
    {u"当せん金", false, false}, {u"当せん金額", false, false}, {u"当選金", false, false},
    {u"当選金額", false, false}, {u"払戻金", false, false},     {u"払戻金額", false, false},
    {u"配当", false, false},     {u"配当金", false, false},     {u"prize", false, false},
    {u"payout", false, false},   {u"amount", false, false},     {u"金額", true, false},
    {u"賞金", true, false},      {u"prize", true, false},       {u"payout", true, false},
    {u"口数", false, true},      {u"当せん口数", false, true},  {u"当選口数", false, true},
    {u"winners", false, true},   {u"count", false, true},       {u"口数", true, true},
    {u"winners", true, true},    {u"count", true, true},
}};

// Parts of a name's key that make it look like a payout's.
constexpr std::array<std::u16string_view, 17> kPayoutHints = {
    u"賞金",   u"当せん金", u"当選金",   u"払戻",   u"払い戻し",   u"配当",
    u"金額",   u"prize",    u"payout",   u"amount", u"ストレート", u"ボックス",
    u"セット", u"ミニ",     u"straight", u"box",    u"mini"};

// ---- Comparing names ----

std::u16string NameKey(std::u16string_view name) {
  // Full-width brackets are mapped to ASCII ones first.
  constexpr std::u16string_view kDropped = u" \t\u3000_-.・()[]【】";
  std::u16string key;
  for (char16_t c : name) {
    if (c >= u'\uFF01' && c <= u'\uFF5E') {
      c = static_cast<char16_t>(c - 0xFEE0);  // full-width ASCII
    }
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (kDropped.find(c) == std::u16string_view::npos) {
      key.push_back(c);
    }
  }
  return key;
}

std::optional<std::size_t> Find(const std::vector<std::u16string>& keys, const Role& role) {
  for (const std::u16string_view name : role.names) {
    const std::u16string key = NameKey(name);
    const auto at = std::find(keys.begin(), keys.end(), key);
    if (at != keys.end()) {
      return static_cast<std::size_t>(at - keys.begin());
    }
  }
  return std::nullopt;
}

// What a column named by `key` holds, when it is a payout or a winner count.
struct BetColumn {
  PayoutKind kind;
  bool count;
};

// The keys of kBetNames and kAffixes, made once.
struct BetKeys {
  std::array<std::vector<std::u16string>, kPayoutKinds> bets;
  std::vector<std::u16string> affixes;  // as kAffixes
};

const BetKeys& Keys() {
  static const BetKeys keys = [] {
    BetKeys made;
    for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
      for (const std::u16string_view name : kBetNames[kind]) {
        if (!name.empty()) {
          made.bets[kind].push_back(NameKey(name));
        }
      }
    }
    for (const Affix& affix : kAffixes) {
      made.affixes.push_back(NameKey(affix.word));
    }
    return made;
  }();
  return keys;
}

std::optional<BetColumn> BetColumnOf(std::u16string_view key) {
  const BetKeys& keys = Keys();
  // A unit after the name says nothing of the column: ボックス賞金(円), straight_prize_yen.
  for (const std::u16string_view unit : {std::u16string_view(u"円"), std::u16string_view(u"yen")}) {
    if (key.size() > unit.size() && key.ends_with(unit)) {
      key.remove_suffix(unit.size());
      break;
    }
  }
  for (std::size_t a = 0; a < kAffixes.size(); ++a) {
    const Affix& affix = kAffixes[a];
    const std::u16string& word = keys.affixes[a];
    if (key.size() <= word.size() ||
        !(affix.before ? key.starts_with(word) : key.ends_with(word))) {
      continue;
    }
    const std::u16string_view bet =
        affix.before ? key.substr(word.size()) : key.substr(0, key.size() - word.size());
    for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
      if (std::find(keys.bets[kind].begin(), keys.bets[kind].end(), bet) != keys.bets[kind].end()) {
        return BetColumn{static_cast<PayoutKind>(kind), affix.count};
      }
    }
  }
  return std::nullopt;
}

std::string Listed(const std::vector<std::u16string_view>& names) {
  std::string text;
  for (const std::u16string_view name : names) {
    text += (text.empty() ? "" : ", ") + Utf16ToUtf8(name);
  }
  return text;
}

}  // namespace

std::size_t ImportColumns::FieldsNeeded() const {
  const std::size_t last = std::max({round, date, number});
  // Saturates: a position no line can reach fails every line instead of wrapping to 0.
  return last < std::numeric_limits<std::size_t>::max() ? last + 1 : last;
}

std::optional<ImportColumns> FindImportColumns(const std::vector<std::u16string>& header,
                                               std::string& reason) {
  std::vector<std::u16string> keys;
  keys.reserve(header.size());
  for (const std::u16string& field : header) {
    keys.push_back(NameKey(field));
  }
  const std::array<Role, 3>& roles = Roles();
  std::array<std::optional<std::size_t>, 3> found;
  std::vector<std::string> missing;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    found[i] = Find(keys, roles[i]);
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

std::string KnownColumnNames() {
  std::string text;
  for (const Role& role : Roles()) {
    text += (text.empty() ? "" : "; ") + std::string(role.what) + ": " + Listed(role.names);
  }
  return text;
}

PayoutColumns::operator bool() const {
  return std::any_of(at.begin(), at.end(), [](const auto& field) { return field.has_value(); });
}

PayoutColumns FindPayoutColumns(const std::vector<std::u16string>& header, std::size_t from) {
  PayoutColumns found;
  for (std::size_t field = from; field < header.size(); ++field) {
    const std::optional<BetColumn> column = BetColumnOf(NameKey(header[field]));
    if (column && !column->count) {
      std::optional<std::size_t>& at = found[static_cast<std::size_t>(column->kind)];
      at = at.value_or(field);
    }
  }
  return found;
}

std::vector<std::u16string> UnreadPayoutNames(const std::vector<std::u16string>& header,
                                              std::size_t from, const PayoutColumns& payouts) {
  std::vector<std::u16string> names;
  for (std::size_t field = from; field < header.size(); ++field) {
    const std::u16string key = NameKey(header[field]);
    const std::optional<BetColumn> column = BetColumnOf(key);
    const bool read = std::find(payouts.at.begin(), payouts.at.end(), field) != payouts.at.end();
    const bool looksPaid = std::any_of(
        kPayoutHints.begin(), kPayoutHints.end(),
        [&key](std::u16string_view hint) { return key.find(hint) != std::u16string::npos; });
    if (!read && looksPaid && !(column && column->count)) {
      names.push_back(header[field]);
    }
  }
  return names;
}

std::string UnreadPayoutsText(const std::vector<std::u16string>& names) {
  std::string listed;
  for (const std::u16string& name : names) {
    listed += (listed.empty() ? "" : ", ") + QuotedText(name);
  }
  const bool one = names.size() == 1;
  return listed +
         (one ? " looks like a payout column but is" : " look like payout columns but are") +
         " not read, so " + (one ? "its" : "their") +
         " amounts are left out (a payout column is named by its kind of bet, alone or with a "
         "prize word: ストレート, ボックス賞金, 金額[SET-STR], straight_prize)";
}

}  // namespace tolvane
