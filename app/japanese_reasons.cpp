#include "app/japanese_reasons.h"

#include <regex>
#include <vector>

namespace tolvane {
namespace {

// One English form of a reason and its Japanese, $1.. being the form's captures.
struct ReasonForm {
  std::regex english;
  const char* japanese;
  // What $1 holds besides a value kept as it is.
  enum class Inner { kValue, kColumnNames, kReason } inner = Inner::kValue;
};

ReasonForm Form(const char* english, const char* japanese,
                ReasonForm::Inner inner = ReasonForm::Inner::kValue) {
  return {std::regex(english), japanese, inner};
}

// A quoted value: QuotedText escapes control characters but not the quote, so greedily to the
// phrase after it.
const std::vector<ReasonForm>& Forms() {
  static const std::vector<ReasonForm> forms = {
      Form(R"(bytes that are not (UTF-8|code page 932))", "$1 として読めないバイトがあります"),
      Form(R"((第-?\d+回) is already there)", "$1 はすでにあります"),
      Form(R"(holds the same round with another draw \((.*)\)$)",
           "同じ回の別の当せん番号があります ($1)", ReasonForm::Inner::kReason),
      Form(R"(^round (\d+) is (.*) there, (.*) here$)", "第$1回 は履歴では $2、こちらでは $3"),
      Form(R"(every winning number has four digits; this looks like a Numbers 4 history: )"
           R"(try --game numbers4)",
           "当せん番号がすべて 4 桁です。ナンバーズ4 の履歴のようです: ナンバーズ4 を選んで"
           "ください"),
      Form(R"(every winning number has four digits; this looks like a Numbers 4 history)",
           "当せん番号がすべて 4 桁です。ナンバーズ4 の履歴のようです"),
      Form(R"(every winning number has three digits; this looks like a Numbers 3 history: )"
           R"(try --game numbers3)",
           "当せん番号がすべて 3 桁です。ナンバーズ3 の履歴のようです: ナンバーズ3 を選んで"
           "ください"),
      Form(R"(every winning number has three digits; this looks like a Numbers 3 history)",
           "当せん番号がすべて 3 桁です。ナンバーズ3 の履歴のようです"),
      Form(R"(^NUMBER: (".*") is not three digits$)", "当せん番号 $1 が 3 桁ではありません"),
      Form(R"(^NUMBER: (".*") is not four digits$)", "当せん番号 $1 が 4 桁ではありません"),
      Form(R"(the rounds stop going up at this line; the draws are analysed in file order, )"
           R"(oldest first expected)",
           "この行で回号が増えなくなります。当せん番号はファイルの順 (古い順のはず) に分析します"),
      Form(R"(winning number (".*") is longer than three digits; its first three are used)",
           "当せん番号 $1 は 3 桁より長いため、先頭の 3 桁を使います"),
      Form(R"(winning number (".*") is not three digits$)", "当せん番号 $1 が 3 桁ではありません"),
      Form(R"(winning number (".*") is not four digits$)", "当せん番号 $1 が 4 桁ではありません"),
      Form(R"((第-?\d+回) is not above the highest round, (第-?\d+回))",
           "$1 は最も大きい回 $2 の後ではありません"),
      Form(R"(the date (\S+) is not later than the newest draw's, (\S+))",
           "日付 $1 は最も新しい抽せん日 $2 より後ではありません"),
      Form(R"(no round follows (第-?\d+回))", "$1 の次の回はありません"),
      Form(R"(rounds (\d+) to (\d+) are missing before (第-?\d+回))",
           "$3 の前の 第$1回〜第$2回 がありません"),
      Form(R"(round (\d+) is missing before (第-?\d+回))", "$2 の前の 第$1回 がありません"),
      Form(R"(the header names no column for (.*) \(its fields: (.*)\)$)",
           "見出しに $1 の列がありません (見出しの項目: $2)", ReasonForm::Inner::kColumnNames),
      Form(R"(round (".*") is not of the form 第N回)", "回別 $1 が 第N回 の形ではありません"),
      Form(R"(round (".*") has no number between 第 and 回)",
           "回別 $1 の 第 と 回 の間に数字がありません"),
      Form(R"(round (".*") is outside the range (-?\d+) to (-?\d+))",
           "回別 $1 が $2 から $3 の範囲の外です"),
      Form(R"(date (".*") is not YYYY/M/D, YYYY-M-D, YYYY年M月D日 or YYYYMMDD)",
           "日付 $1 が YYYY/M/D、YYYY-M-D、YYYY年M月D日、YYYYMMDD のどの形でもありません"),
      Form(R"(date (".*") is not a day of the calendar)", "日付 $1 は暦にない日です"),
      Form(R"(round (".*") is not 第N回 or a number)",
           "回別 $1 が 第N回 の形でも数字でもありません"),
      Form(R"(round (".*") is above 2147483647)", "回別 $1 が 2147483647 より大きいです"),
      Form(R"(winning number (".*") is not one to three digits)",
           "当せん番号 $1 が 1〜3 桁の数字ではありません"),
      Form(R"(winning number (".*") is not one to four digits)",
           "当せん番号 $1 が 1〜4 桁の数字ではありません"),
      Form(R"(date (".*") is not YYYY/M/D$)", "日付 $1 が YYYY/M/D の形ではありません"),
      Form(R"(round (\d+) is also on line (\d+) with )", "回 $1 は $2 行目にもあり、違いは "),
      Form(R"(holds round (\d+) with other payouts \((\S+) (\d+) there, (\d+) here\) )"
           R"(\(and (\d+) more rounds?\); the history's are kept)",
           "第$1回 の $2 が違います (履歴 $3 円、結果ファイル $4 円、ほか $5 回)。"
           "履歴ファイルの額を残します"),
      Form(R"(holds round (\d+) with other payouts \((\S+) (\d+) there, (\d+) here\); )"
           R"(the history's are kept)",
           "第$1回 の $2 が違います (履歴 $3 円、結果ファイル $4 円)。履歴ファイルの額を残します"),
      Form(R"(its header has no column for the source's payouts \((.*)\), so the added draws )"
           R"(are written without them)",
           "見出しに結果ファイルの賞金 ($1) の列がないため、追加する回は賞金なしで書きます"),
      Form(R"(every winning number has three digits; this looks like a Numbers 3 source: try )"
           R"(--game numbers3)",
           "当せん番号がすべて 3 桁です。ナンバーズ3 の結果ファイルのようです: ナンバーズ3 を"
           "選んでください"),
      Form(R"(the header names a mini column, which only Numbers 3 has; this looks like a )"
           R"(Numbers 3 source: try --game numbers3)",
           "見出しにナンバーズ3 だけのミニの列があります。ナンバーズ3 の結果ファイルのようです: "
           "ナンバーズ3 を選んでください"),
      Form(R"((".*") looks? like (?:a )?payout columns? but (?:is|are) not read, so (?:its|their) )"
           R"(amounts are left out \(.*\)$)",
           "$1 は賞金の列のようですが読まないため、その額は入りません (賞金の列は賭け方の名前"
           "で見分けます: ストレート、ボックス賞金、金額[SET-STR]、straight_prize)"),
      Form(R"(payout (".*") in column (\S+) is above the largest amount, 4294967295 yen)",
           "$2 の列の賞金 $1 が最大の額 4294967295 円を超えています"),
      Form(R"(payout (".*") in column (\S+) is not an amount of yen)",
           "$2 の列の賞金 $1 が円の額ではありません"),
      Form(R"(its lines end in a carriage return \(CR\) alone; convert them to LF or CR LF line )"
           R"(ends)",
           "行の終わりが CR だけです。LF か CR LF に変換してください"),
      Form(R"(too many draw lines \(at most (\d+)\))", "当せん番号の行が多すぎます (最大 $1 行)"),
      Form(R"(is empty \(no header line\))", "空です (見出しの行がありません)"),
      Form(R"(is a directory$)", "フォルダです"),
      Form(R"(cannot open: (.*)$)", "開けません ($1)"),
      Form(R"(line (\d+) is longer than (\d+) bytes)", "$1 行目が $2 バイトより長すぎます"),
      Form(R"(has no draw lines after the header)", "見出しの後に当せん番号の行がありません"),
      Form(R"(this system has no code page 932 converter)",
           "このシステムには code page 932 の変換がありません"),
  };
  return forms;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// "the round, the date or the winning number" as the window names those columns.
std::string ColumnNames(std::string names) {
  ReplaceAll(names, "the winning number", "当せん番号");
  ReplaceAll(names, "the round", "回別");
  ReplaceAll(names, "the date", "抽せん日");
  ReplaceAll(names, ", ", "、");
  ReplaceAll(names, " or ", "、");
  return names;
}

}  // namespace

std::string JapaneseReason(const std::string& reason) {
  for (const ReasonForm& form : Forms()) {
    std::smatch match;
    if (!std::regex_search(reason, match, form.english)) {
      continue;
    }
    std::string japanese = match.format(form.japanese);
    if (form.inner != ReasonForm::Inner::kValue) {
      const std::string inner = match.str(1);
      japanese.replace(japanese.find(inner), inner.size(),
                       form.inner == ReasonForm::Inner::kColumnNames ? ColumnNames(inner)
                                                                     : JapaneseReason(inner));
    }
    return match.prefix().str() + japanese + match.suffix().str();
  }
  return reason;
}

}  // namespace tolvane
