// What scripts read from tolvane-cli: JSON and CSV beside the text, histories in UTF-8 and on
// standard input, the default round, the order warning and the version.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/cp932.h"
#include "core/utf.h"
#include "core/version.h"
#include "history/draw_history.h"
#include "predict/place_ranking.h"
#include "tests/cli/run_cli.h"
#include "tests/support/history_file.h"
#include "tests/support/result_text.h"

namespace tolvane::test {
namespace {

using nlohmann::ordered_json;

constexpr const char* kHeader = "回別,抽せん日,曜日,当せん番号";

// `draws` draws of random numbers of `digits` digits from a fixed seed, rounds 1 upwards.
std::vector<std::string> GeneratedLines(std::size_t draws, std::uint32_t seed, int digits = 3) {
  std::mt19937 random(seed);
  std::vector<std::string> lines = {kHeader};
  for (std::size_t draw = 1; draw <= draws; ++draw) {
    std::array<char, 8> number{};
    std::snprintf(number.data(), number.size(), digits == 4 ? "%04u" : "%03u",
                  static_cast<unsigned>(random() % (digits == 4 ? 10000 : 1000)));
    lines.push_back("第" + std::to_string(draw) + "回,2020/1/2,X," + number.data());
  }
  return lines;
}

// The ranking of each place as the text shows it.
std::vector<std::vector<int>> TextRankings(const std::string& text) {
  const std::string marker = "パワースペクトル予想: ";
  std::vector<std::vector<int>> rankings;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(marker)) {
      std::vector<int>& ranking = rankings.emplace_back();
      for (std::size_t at = marker.size(); at < line.size(); at += 3) {
        ranking.push_back(line[at] - '0');
      }
    }
  }
  return rankings;
}

double ReadDouble(const std::string& text) {
  double value = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_EQ(read.ptr, text.data() + text.size()) << text;
  return value;
}

// The stretches the issue's formula gives, with n the largest power of two within C.
ordered_json ExpectedSpans(std::uint32_t cycles, const std::string& filter,
                           const std::string& frame) {
  const std::uint32_t n = std::bit_floor(cycles);
  if (filter == "none" || frame == "head") {
    return {{0, n}};
  }
  if (frame == "tail") {
    return {{cycles - n, cycles}};
  }
  if (frame == "center") {
    return {{(cycles - n) / 2, (cycles - n) / 2 + n}};
  }
  return cycles == n ? ordered_json{{0, n}} : ordered_json{{0, n}, {cycles - n, cycles}};
}

// Each format on each history: the text, the JSON and the CSV give the same rankings; the JSON's
// scores are bit for bit those of the ranking itself and the CSV's are the JSON's; the keys come
// in the documented order; the cycles transformed follow the formula.
TEST(CliOutput, JsonCsvAndTextAgree) {
  TempDir dir;
  struct Case {
    std::string history;
    std::vector<std::string> options;  // filter and frame
    Game game = Game::kNumbers3;
  };
  const std::string sample = TOLVANE_SAMPLE_HISTORY;
  const std::string oneCycle = WriteHistoryFile(dir, GeneratedLines(15, 1), "one-cycle.csv");
  const std::string powerOfTwo =
      WriteHistoryFile(dir, GeneratedLines(std::size_t{15} * 64, 2), "64.csv");
  const std::string odd = WriteHistoryFile(dir, GeneratedLines(1009, 3), "odd.csv");
  const std::string four = WriteHistoryFile(dir, GeneratedLines(1009, 4, 4), "four.csv");
  const std::vector<Case> cases = {
      {four, {"lpf", "headtail"}, Game::kNumbers4},
      {four, {"none", "head"}, Game::kNumbers4},
      {four, {"bpf", "tail"}, Game::kNumbers4},
      {sample, {"lpf", "head"}},
      {sample, {"bpf", "tail"}},
      {sample, {"lpf", "center"}},
      {sample, {"bpf", "headtail"}},
      {sample, {"none", "tail"}},
      {oneCycle, {"lpf", "tail"}},
      {oneCycle, {"none", "head"}},
      {powerOfTwo, {"bpf", "headtail"}},
      {odd, {"lpf", "headtail"}},
      {odd, {"none", "center"}},
      {odd, {"bpf", "center"}},
  };
  const std::vector<std::string> keys = {
      "game", "round", "draws", "cycles", "filter", "frame", "transformed_cycles", "places"};
  for (const Case& c : cases) {
    const std::string& filter = c.options[0];
    const std::string& frame = c.options[1];
    SCOPED_TRACE(testing::Message() << c.history << " --filter " << filter << " --frame " << frame);
    const std::vector<std::string> args = {
        "predict", c.history, "--filter", filter,
        "--frame", frame,     "--game",   std::string(Word(c.game))};
    std::vector<std::string> json = args;
    json.insert(json.end(), {"--format", "json"});
    std::vector<std::string> csv = args;
    csv.insert(csv.end(), {"--format", "csv"});
    const Outcome textRun = RunCli(dir, args);
    const Outcome jsonRun = RunCli(dir, json);
    const Outcome csvRun = RunCli(dir, csv);
    ASSERT_EQ(textRun.status, 0) << textRun.err;
    ASSERT_EQ(jsonRun.status, 0) << jsonRun.err;
    ASSERT_EQ(csvRun.status, 0) << csvRun.err;
    EXPECT_EQ(jsonRun.out.back(), '\n');

    OwnedHistory loaded;
    DrawHistory& history = loaded.get();
    ASSERT_EQ(LoadDrawHistory(c.history, history, "", nullptr, {TextEncoding::kCp932, c.game}),
              kLoadOk);
    const std::array<const WAData*, kMaxPlaces> series = PlaceSeries(std::as_const(history));
    const std::uint32_t draws = DrawCount(history);
    const auto places = static_cast<std::size_t>(PlaceCount(c.game));

    const ordered_json result = ordered_json::parse(jsonRun.out);
    std::vector<std::string> seen;
    for (const auto& item : result.items()) {
      seen.push_back(item.key());
    }
    EXPECT_EQ(seen, keys);
    EXPECT_EQ(result["game"], Word(c.game));
    EXPECT_EQ(result["round"], draws + 1);  // the rounds run 1 to draws
    EXPECT_EQ(result["draws"], draws);
    EXPECT_EQ(result["cycles"], draws / 15);
    EXPECT_EQ(result["filter"], filter);
    EXPECT_EQ(result["frame"], filter == "none" ? ordered_json(nullptr) : ordered_json(frame));
    EXPECT_EQ(result["transformed_cycles"], ExpectedSpans(draws / 15, filter, frame));
    EXPECT_TRUE(textRun.out.starts_with("予測回号: 第" + std::to_string(draws + 1) + "回\n"));

    const std::vector<std::vector<int>> text = TextRankings(textRun.out);
    std::istringstream rows(csvRun.out);
    std::string row;
    std::getline(rows, row);
    EXPECT_EQ(row, "place,rank,digit,score");
    ASSERT_EQ(text.size(), places);
    ASSERT_EQ(result["places"].size(), places);
    for (std::size_t place = 0; place < places; ++place) {
      const ordered_json& entry = result["places"][place];
      const std::string name(PlaceWord(c.game, static_cast<int>(place)));
      EXPECT_EQ(entry.begin().key(), "place");
      EXPECT_EQ(entry["place"], name);
      EXPECT_EQ(entry["ranking"].get<std::vector<int>>(), text[place]);
      const DigitRanking expected =
          RankPlace(*series[place], *FilterKindFromWord(filter), *FrameModeFromWord(frame));
      for (std::size_t digit = 0; digit < 10; ++digit) {
        EXPECT_EQ(entry["scores"][digit].get<double>(), expected.scores[digit]) << digit;
      }
      for (std::size_t rank = 0; rank < 10; ++rank) {
        ASSERT_TRUE(std::getline(rows, row));
        const int digit = text[place][rank];
        const std::string prefix =
            name + "," + std::to_string(rank + 1) + "," + std::to_string(digit) + ",";
        ASSERT_TRUE(row.starts_with(prefix)) << row;
        EXPECT_EQ(ReadDouble(row.substr(prefix.size())),
                  expected.scores[static_cast<std::size_t>(digit)]);
      }
    }
    EXPECT_FALSE(std::getline(rows, row)) << "more rows than ten a place";
  }
}

// A UTF-8 copy of the sample gives the very bytes the original does, from a file or from
// standard input, in every command that reads a history; read as code page 932 it fails with a
// hint, and a byte sequence that is no UTF-8 fails on its line.
TEST(CliOutput, Utf8HistoriesReadLikeCodePage932Ones) {
  TempDir dir;
  const std::string sample = TOLVANE_SAMPLE_HISTORY;
  const std::string utf8 = dir.File("sample-utf8.csv");
  WriteBytes(utf8, Utf16ToUtf8(Cp932ToUtf16(ReadBytes(sample))));
  const Outcome original = RunCli(dir, {"predict", sample, "--format", "json"});
  ASSERT_EQ(original.status, 0);
  const std::vector<std::string> utf8Json = {"predict", utf8,       "--encoding",
                                             "utf-8",   "--format", "json"};
  EXPECT_EQ(RunCli(dir, utf8Json).out, original.out);
  EXPECT_EQ(RunCli(dir, {"predict", "-", "--encoding", "utf-8", "--format", "json"}, "", utf8).out,
            original.out);
  EXPECT_EQ(RunCli(dir, {"predict", "-", "--format", "json"}, "", sample).out, original.out);
  // Every command that reads a history takes the same option.
  for (const std::string command : {"stats", "backtest"}) {
    const Outcome fromCp932 = RunCli(dir, {command, sample, "--last", "30", "--format", "csv"});
    ASSERT_EQ(fromCp932.status, 0) << command << ": " << fromCp932.err;
    EXPECT_EQ(
        RunCli(dir, {command, utf8, "--last", "30", "--format", "csv", "--encoding", "utf-8"}).out,
        fromCp932.out)
        << command;
  }

  const std::string load = "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\n";
  const std::string hint = "; the file looks like UTF-8: try --encoding utf-8\n";
  const std::string invalid = dir.File("invalid.csv");
  WriteBytes(invalid, "h\n第1回,2018/6/12,X,123\n\xE7\xAC\n");
  struct Case {
    std::vector<std::string> args;
    std::string stdinPath;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"predict", utf8},
       "",
       load + "tolvane-cli: " + utf8 + ":2: bytes that are not code page 932" + hint},
      {{"predict", "-"},
       utf8,
       load + "tolvane-cli: (standard input):2: bytes that are not code page 932" + hint},
      {{"predict", invalid, "--encoding", "utf-8"},
       "",
       load + "tolvane-cli: " + invalid + ":3: bytes that are not UTF-8\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunCli(dir, c.args, "", c.stdinPath);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
  }
}

// Without --round the round is the one after the highest read, at most the largest 32-bit one;
// rounds that do not go up line by line are warned about, naming the first such line, and the
// prediction still comes.
TEST(CliOutput, DefaultRoundAndOrderWarning) {
  TempDir dir;
  const auto history = [&dir](const std::string& name, const std::vector<int>& rounds) {
    std::vector<std::string> lines = {kHeader};
    for (const int round : rounds) {
      lines.push_back("第" + std::to_string(round) + "回,2020/1/2,X,572");
    }
    return WriteHistoryFile(dir, lines, name);
  };
  const auto repeated = [](int first, int step) {
    std::vector<int> rounds;
    rounds.reserve(30);
    for (int i = 0; i < 30; ++i) {
      rounds.push_back(first + i * step);
    }
    return rounds;
  };
  std::vector<int> top = repeated(2147483618, 1);
  std::vector<int> repeat = repeated(1, 1);
  repeat[20] = 20;  // line 22 repeats line 21's round
  struct Case {
    std::string path;
    std::vector<std::string> extra;
    std::string round;
    int warnedLine;  // 0: no warning
  };
  const std::vector<Case> cases = {
      {history("up.csv", repeated(101, 1)), {}, "131", 0},
      {history("newest-first.csv", repeated(30, -1)), {}, "31", 3},
      {history("repeat.csv", repeat), {}, "31", 22},
      {history("top.csv", top), {}, "2147483647", 0},
      {history("given.csv", repeated(30, -1)), {"--round", "7"}, "7", 3},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"predict", c.path};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, 0) << c.path;
    EXPECT_EQ(outcome.out, RepeatedDrawResult(c.round, "572") + "\n") << c.path;
    EXPECT_EQ(outcome.err, c.warnedLine == 0 ? ""
                                             : "tolvane-cli: warning: " + c.path + ":" +
                                                   std::to_string(c.warnedLine) +
                                                   ": the rounds stop going up at this line; "
                                                   "the draws are analysed in file order, "
                                                   "oldest first expected\n")
        << c.path;
  }
}

// The next draw's tickets: after the text, in the JSON, or as the whole CSV. On the sample the
// places rank 2 5 4..., 7 8 5..., 6 7 2... first, so straight begins 276, 277, 286.
TEST(CliOutput, TicketsOfTheNextDraw) {
  TempDir dir;
  const std::vector<std::string> args = {
      "predict", TOLVANE_SAMPLE_HISTORY, "--bet", "straight,mini", "--tickets", "3"};
  const Outcome text = RunCli(dir, args);
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(
      text.out.ends_with("\n\n買い目 ストレート 3 口 (600 円): 276, 277, 286\n"
                         "買い目 ミニ 3 口 (600 円): 76, 77, 86\n"))
      << text.out;
  std::vector<std::string> json = args;
  json.insert(json.end(), {"--format", "json"});
  const auto tickets = ordered_json::parse(RunCli(dir, json).out)["tickets"];
  EXPECT_EQ(tickets,
            ordered_json::parse(R"({"straight":["276","277","286"],"mini":["76","77","86"]})"));
  std::vector<std::string> csv = args;
  csv.insert(csv.end(), {"--format", "csv"});
  EXPECT_EQ(RunCli(dir, csv).out,
            "bet,order,ticket\nstraight,1,276\nstraight,2,277\nstraight,3,286\nmini,1,76\n"
            "mini,2,77\nmini,3,86\n");
}

TEST(CliOutput, BothProgramsPrintTheProjectVersion) {
  TempDir dir;
  std::vector<std::string> programs = {TOLVANE_CLI_PATH};
#ifdef TOLVANE_GUI_PATH
  programs.emplace_back(TOLVANE_GUI_PATH);
#endif
  for (const std::string& program : programs) {
    const Outcome outcome = RunProgram(dir, program, {"--version"});
    EXPECT_EQ(outcome.status, 0) << program;
    EXPECT_EQ(outcome.out, "tolvane " + std::string(kVersion) + "\n") << program;
    EXPECT_EQ(outcome.err, "") << program;
  }
  EXPECT_STREQ(kVersion, "1.0.0.1");
}

}  // namespace
}  // namespace tolvane::test
