#include "history/payouts.h"

#include <memory>

#include "core/cp932.h"
#include "core/quoted_text.h"
#include "core/utf.h"
#include "history/history_line_reader.h"
#include "history/import_fields.h"

namespace tolvane {
namespace {

constexpr std::size_t kPayoutField = 4;  // the first payout column, 0-based

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<std::uint32_t> ReadPayout(std::u16string_view field) {
  if (field.empty() || field == u"-" || field == u"0" || field == u"該当なし") {
    return 0;
  }
  // Digits, or groups of them split by separators: one to three first, then three each.
  std::uint64_t value = 0;
  std::size_t group = 0;
  bool separated = false;
  for (const char16_t c : field) {
    if (c == u',') {
      if (group == 0 || group > 3 || (separated && group != 3)) {
        return std::nullopt;
      }
      separated = true;
      group = 0;
      continue;
    }
    if (!IsDigit(c)) {
      return std::nullopt;
    }
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > 0xFFFFFFFFULL) {
      return std::nullopt;
    }
    ++group;
  }
  if (group == 0 || (separated && group != 3)) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string PayoutReason(std::u16string_view field, PayoutKind kind) {
  return "payout " + QuotedText(field) + " in column " +
         std::string(kPayoutColumnNames[static_cast<std::size_t>(kind)]) +
         " is not an amount of yen";
}

std::string PayoutHistoryHeader(Game game) {
  std::string header = "回別,抽せん日,曜日,当せん番号";
  for (std::size_t kind = 0; kind < PayoutColumnCount(game); ++kind) {
    header += ",";
    header += kPayoutColumnNames[kind];
  }
  return header;
}

bool NamesPayoutColumns(const std::vector<std::u16string>& header, Game game) {
  if (header.size() < kPayoutField + PayoutColumnCount(game)) {
    return false;
  }
  for (std::size_t kind = 0; kind < PayoutColumnCount(game); ++kind) {
    if (Utf16ToUtf8(header[kPayoutField + kind]) != kPayoutColumnNames[kind]) {
      return false;
    }
  }
  return true;
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
    const std::size_t columns = PayoutColumnCount(options.game);
    payouts.columns =
        NamesPayoutColumns(SplitImportLine(line, kPayoutField + columns).fields, options.game);
    while (reader.Next(line)) {
      Payouts& draw = payouts.draws.emplace_back();
      if (!payouts.columns) {
        continue;
      }
      const ImportLine split = SplitImportLine(line, kPayoutField + columns);
      for (std::size_t kind = 0; kind < columns && kPayoutField + kind < split.fields.size();
           ++kind) {
        const std::u16string& field = split.fields[kPayoutField + kind];
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
