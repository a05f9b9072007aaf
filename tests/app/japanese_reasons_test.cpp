#include "app/japanese_reasons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvane::test {
namespace {

// Every form of reason the window shows, with the path, line and quoted values kept.
TEST(JapaneseReason, EachFormKeepsItsPlaceAndValues) {
  struct Case {
    std::string english;
    std::string japanese;
  };
  const std::vector<Case> cases = {
      {"/h/a.csv:2: bytes that are not UTF-8", "/h/a.csv:2: UTF-8 として読めないバイトがあります"},
      {"a.csv:2: bytes that are not code page 932; the file looks like UTF-8",
       "a.csv:2: code page 932 として読めないバイトがあります; the file looks like UTF-8"},
      {"a.csv:7: 第6500回 is already there", "a.csv:7: 第6500回 はすでにあります"},
      {"n.csv:1: a.csv:9 holds the same round with another draw (round 5 is 2019/12/30 333 "
       "there, 2019/12/30 334 here)",
       "n.csv:1: a.csv:9 同じ回の別の当せん番号があります (第5回 は履歴では 2019/12/30 333、"
       "こちらでは 2019/12/30 334)"},
      {"a.csv: every winning number has four digits; this looks like a Numbers 4 history",
       "a.csv: 当せん番号がすべて 4 桁です。ナンバーズ4 の履歴のようです"},
      {"a.csv: every winning number has three digits; this looks like a Numbers 3 history: try "
       "--game numbers3",
       "a.csv: 当せん番号がすべて 3 桁です。ナンバーズ3 の履歴のようです: ナンバーズ3 "
       "を選んでください"},
      {"NUMBER: \"12\" is not three digits", "当せん番号 \"12\" が 3 桁ではありません"},
      {"a.csv:4: the rounds stop going up at this line; the draws are analysed in file order, "
       "oldest first expected",
       "a.csv:4: この行で回号が増えなくなります。当せん番号はファイルの順 (古い順のはず) "
       "に分析します"},
      {"a.csv:3: winning number \"1234\" is longer than three digits; its first three are used",
       "a.csv:3: 当せん番号 \"1234\" は 3 桁より長いため、先頭の 3 桁を使います"},
      {"a.csv:3: winning number \"12a\" is not three digits",
       "a.csv:3: 当せん番号 \"12a\" が 3 桁ではありません"},
      {"a.csv:9: 第3回 is not above the highest round, 第9回",
       "a.csv:9: 第3回 は最も大きい回 第9回 の後ではありません"},
      {"a.csv:9: the date 2019/12/17 is not later than the newest draw's, 2019/12/18",
       "a.csv:9: 日付 2019/12/17 は最も新しい抽せん日 2019/12/18 より後ではありません"},
      {"a.csv: no round follows 第2147483647回", "a.csv: 第2147483647回 の次の回はありません"},
      {"a.csv: rounds 10 to 12 are missing before 第13回",
       "a.csv: 第13回 の前の 第10回〜第12回 がありません"},
      {"a.csv: round 10 is missing before 第11回", "a.csv: 第11回 の前の 第10回 がありません"},
      {"p.png:1: the header names no column for the round, the date or the winning number "
       "(its fields: \"\\x89PNG\\x0d\")",
       "p.png:1: 見出しに 回別、抽せん日、当せん番号 の列がありません (見出しの項目: "
       "\"\\x89PNG\\x0d\")"},
      {"a.csv:2: round \"6500\" is not of the form 第N回",
       "a.csv:2: 回別 \"6500\" が 第N回 の形ではありません"},
      {"a.csv:2: date \"2019-1-1\" is not YYYY/M/D",
       "a.csv:2: 日付 \"2019-1-1\" が YYYY/M/D の形ではありません"},
      {"a.csv:8: round 5 is also on line 3 with another number",
       "a.csv:8: 回 5 は 3 行目にもあり、違いは another number"},
      {"a.csv: has no draw lines after the header",
       "a.csv: 見出しの後に当せん番号の行がありません"},
      {"r.csv:4: h.csv:9 holds round 6501 with other payouts (ボックス 36928 there, 36929 here) "
       "(and 2 more rounds); the history's are kept",
       "r.csv:4: h.csv:9 第6501回 の ボックス が違います (履歴 36928 円、結果ファイル 36929 円、"
       "ほか 2 回)。履歴ファイルの額を残します"},
      {"h.csv: its header has no column for the source's payouts (ストレート, ミニ), so the added "
       "draws are written without them",
       "h.csv: 見出しに結果ファイルの賞金 (ストレート, ミニ) "
       "の列がないため、追加する回は賞金なしで書きます"},
      {"r.csv: the header names a mini column, which only Numbers 3 has; this looks like a "
       "Numbers 3 source: try --game numbers3",
       "r.csv: 見出しにナンバーズ3 だけのミニの列があります。ナンバーズ3 の結果ファイルのようです: "
       "ナンバーズ3 を選んでください"},
      {"r.csv: \"ストレ\", \"box\" look like payout columns but are not read, so their amounts "
       "are left out (a payout column is named by its kind of bet, alone or with a prize word: "
       "ストレート, ボックス賞金, 金額[SET-STR], straight_prize)",
       "r.csv: \"ストレ\", \"box\" は賞金の列のようですが読まないため、その額は入りません "
       "(賞金の列は賭け方の名前で見分けます: ストレート、ボックス賞金、金額[SET-STR]、"
       "straight_prize)"},
      {"r.csv:3: date \"2018/2/30\" is not a day of the calendar",
       "r.csv:3: 日付 \"2018/2/30\" は暦にない日です"},
      {"r.csv:3: winning number \"12a\" is not one to four digits",
       "r.csv:3: 当せん番号 \"12a\" が 1〜4 桁の数字ではありません"},
      {"h.csv:4: payout \"9x\" in column ボックス is not an amount of yen",
       "h.csv:4: ボックス の列の賞金 \"9x\" が円の額ではありません"},
      {"h.csv: its lines end in a carriage return (CR) alone; convert them to LF or CR LF line "
       "ends",
       "h.csv: 行の終わりが CR だけです。LF か CR LF に変換してください"},
      {"h.csv: is empty (no header line)", "h.csv: 空です (見出しの行がありません)"},
      {"/tmp: is a directory", "/tmp: フォルダです"},
      {"a.csv: something new", "a.csv: something new"},  // unknown: the English stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JapaneseReason(c.english), c.japanese) << c.english;
  }
}

}  // namespace
}  // namespace tolvane::test
