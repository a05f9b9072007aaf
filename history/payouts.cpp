#include "history/payouts.h"

#include <algorithm>
#include <memory>

#include "core/cp932.h"
#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/history_line_reader.h"
#include "history/import_fields.h"

namespace tolvane {
namespace {

constexpr std::size_t kPayoutField = 4;  // the first payout column, 0-based

// The digits of an amount, ASCII, without its separators: digits, or groups of them split by
// commas, one to three first and then three each. nullopt when the field is not that.
std::optional<std::u16string> AmountDigits(std::u16string_view field) {
  std::u16string digits;
  std::size_t group = 0;
  bool separated = false;
  for (char16_t c : field) {
    if (c >= u'\uFF10' && c <= u'\uFF19') {
      c = static_cast<char16_t>(u'0' + (c - u'\uFF10'));
    }
    if (c == u',' || c == u'\uFF0C') {
      if (group == 0 || group > 3 || (separated && group != 3)) {
        return std::nullopt;
      }
      separated = true;
      group = 0;
      continue;
    }
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    digits.push_back(c);
    ++group;
  }
  if (group == 0 || (separated && group != 3)) {
    return std::nullopt;
  }
  return digits;
}

}  // namespace

std::optional<std::uint32_t> ReadPayout(std::u16string_view field) {
  if (field.empty() || field == u"-" || field == u"該当なし") {
    return 0;
  }
  const std::optional<std::u16string> digits = AmountDigits(field);
  if (!digits) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char16_t c : *digits) {
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > 0xFFFFFFFFULL) {
      return std::nullopt;
    }
  }
  return static_cast<std::uint32_t>(value);
}

namespace {

std::string Problem(std::u16string_view field) {
  return AmountDigits(field) ? "is above the largest amount, 4294967295 yen"
                             : "is not an amount of yen";
}

}  // namespace

std::string PayoutFieldReason(std::u16string_view field) {
  return QuotedText(field) + " " + Problem(field);
}

std::string PayoutReason(std::u16string_view field, PayoutKind kind) {
  return "payout " + QuotedText(field) + " in column " +
         std::string(kPayoutColumnNames[static_cast<std::size_t>(kind)]) + " " + Problem(field);
}

std::string PayoutDifference(const Payouts& there, const Payouts& here) {
  for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
    if (there[kind] != 0 && here[kind] != 0 && there[kind] != here[kind]) {
      return std::string(kPayoutColumnNames[kind]) + " " + std::to_string(there[kind]) +
             " there, " + std::to_string(here[kind]) + " here";
    }
  }
  return {};
}

std::string PayoutHistoryHeader(Game game) {
  std::string header = "回別,抽せん日,曜日,当せん番号";
  for (std::size_t kind = 0; kind < PayoutColumnCount(game); ++kind) {
    header += ",";
    header += kPayoutColumnNames[kind];
  }
  return header;
}

PayoutColumns HistoryPayoutColumns(const std::vector<std::u16string>& header, Game game) {
  PayoutColumns columns = FindPayoutColumns(header, kPayoutField);
  for (std::size_t kind = PayoutColumnCount(game); kind < kPayoutKinds; ++kind) {
    columns[kind].reset();
  }
  return columns;
}

bool ReadHistoryPayouts(const std::string& path, const LoadOptions& options,
                        HistoryPayouts& payouts, LoadReport& failure) {
  payouts = HistoryPayouts{};
  const bool utf8 = options.encoding == TextEncoding::kUtf8;
  std::unique_ptr<TextDecoder> decoder =
      utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(Cp932Decoder::Open());
  if (!decoder) {
    failure.reason = "this system has no code page 932 converter";
    return false;
  }
  try {
    HistoryLineReader reader(path, *decoder, utf8 ? "UTF-8" : "code page 932");
    std::u16string_view line;
    if (!reader.IsOpen() || !reader.Next(line)) {
      failure.reason = "cannot be read again";
      return false;
    }
    const std::vector<std::u16string> header = SplitImportLine(line, kMaxImportColumns).fields;
    const PayoutColumns columns = HistoryPayoutColumns(header, options.game);
    payouts.columns = static_cast<bool>(columns);
    // A column of a kind the game does not sell is known, only not read: no warning.
    payouts.unreadNames =
        UnreadPayoutNames(header, kPayoutField, FindPayoutColumns(header, kPayoutField));
    std::size_t fieldsKept = 0;
    for (const std::optional<std::size_t>& at : columns.at) {
      fieldsKept = std::max(fieldsKept, at.value_or(0) + 1);
    }
    while (reader.Next(line)) {
      Payouts& draw = payouts.draws.emplace_back();
      if (!payouts.columns) {
        continue;
      }
      const ImportLine split = SplitImportLine(line, fieldsKept);
      for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
        if (!columns[kind] || *columns[kind] >= split.fields.size()) {
          continue;
        }
        const std::u16string& field = split.fields[*columns[kind]];
        const std::optional<std::uint32_t> yen = ReadPayout(field);
        if (!yen) {
          failure.line = reader.LineNumber();
          failure.reason = PayoutReason(field, static_cast<PayoutKind>(kind));
          return false;
        }
        draw[kind] = *yen;
      }
    }
  } catch (const LoadError& e) {
    failure.line = e.line();
    failure.reason = e.reason();
    return false;
  }
  return true;
}

}  // namespace tolvane
