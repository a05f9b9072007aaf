// tolvane-cli backtest as a caller sees it: each format against the library's own evaluation of
// the same file, the run list, the failures, and the progress bar.

#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/progress_bar.h"
#include "evaluate/evaluation.h"
#include "history/draw_history.h"
#include "tests/cli/run_cli.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

std::string RandomHistoryFile(const TempDir& dir, int draws, unsigned seed) {
  return WriteHistoryFile(dir, RandomDrawLines(static_cast<std::size_t>(draws), seed),
                          "random.csv");
}

Evaluation EvaluateFile(const std::string& path, const EvaluationRequest& request,
                        Game game = Game::kNumbers3) {
  OwnedHistory history;
  EXPECT_EQ(LoadDrawHistory(path, history.get(), "", nullptr, {TextEncoding::kCp932, game}),
            kLoadOk);
  return Evaluate(history.get(), request);
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) {
    keys.push_back(item.key());
  }
  return keys;
}

void ExpectCounts(const nlohmann::ordered_json& json, const HitCounts& counts) {
  ASSERT_EQ(json["hits"].size(), 10U);
  ASSERT_EQ(json["p_values"].size(), 10U);
  for (std::size_t k = 1; k <= 10; ++k) {
    EXPECT_EQ(json["hits"][k - 1].get<std::uint32_t>(), counts.hits[k]) << "k " << k;
    // Read back from the text, every double is the very one computed.
    EXPECT_EQ(json["p_values"][k - 1].get<double>(), counts.pValues[k]) << "k " << k;
  }
}

TEST(Backtest, JsonHoldsTheLibrarysEvaluationExactly) {
  TempDir dir;
  const std::string history = RandomHistoryFile(dir, 130, 7);
  const Outcome outcome = RunCli(dir, {"backtest", history, "--filter", "all", "--frame", "all",
                                       "--last", "50", "--format", "json", "--threads", "2"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  const auto report = nlohmann::ordered_json::parse(outcome.out);
  EXPECT_EQ(Keys(report), (std::vector<std::string>{"game", "history", "draws", "runs"}));
  EXPECT_EQ(report["game"], "numbers3");
  EXPECT_EQ(report["history"], history);
  EXPECT_EQ(report["draws"], 130);

  EvaluationRequest request;
  request.last = 50;
  const Evaluation want = EvaluateFile(history, request);
  ASSERT_EQ(report["runs"].size(), 9U);
  for (std::size_t r = 0; r < want.runs.size(); ++r) {
    const RunOutcome& run = want.runs[r];
    const nlohmann::ordered_json& got = report["runs"][r];
    EXPECT_EQ(Keys(got), (std::vector<std::string>{"filter", "frame", "first_draw", "trials",
                                                   "rankings", "places", "all_three"}));
    EXPECT_EQ(got["filter"], Word(run.filter));
    EXPECT_EQ(got["frame"], run.frame ? nlohmann::ordered_json(Word(*run.frame)) : nullptr);
    EXPECT_EQ(got["first_draw"], 81);
    EXPECT_EQ(got["trials"], 50);
    EXPECT_EQ(got["rankings"], run.rankings);
    ASSERT_EQ(got["places"].size(), 3U);
    const char* names[] = {"hundreds", "tens", "ones"};
    for (std::size_t p = 0; p < 3; ++p) {
      const nlohmann::ordered_json& place = got["places"][p];
      EXPECT_EQ(Keys(place), (std::vector<std::string>{"place", "hits", "p_values", "mean_rank"}));
      EXPECT_EQ(place["place"], names[p]);
      ExpectCounts(place, run.places[p]);
      EXPECT_EQ(place["mean_rank"].get<double>(), run.places[p].meanRank);
    }
    EXPECT_EQ(Keys(got["all_three"]), (std::vector<std::string>{"hits", "p_values"}));
    ExpectCounts(got["all_three"], run.allPlaces);
  }
}

// Three cycles whose rankings can be worked out on paper. Unfiltered, one cycle transforms to
// itself and two to (a + b, a - b), unnormalised, so a digit's score is its count squared after
// one cycle and max((a + b)^2, (a - b)^2) after two. Every draw repeats one digit in all places.
//   cycle 1: 0 x5, 1 x4, 2 x3, 3 x2, 4 x1       ranking 0 1 2 3 4 5 6 7 8 9
//   cycle 2: 9 x4, 5 x5, 0 x1, 1 x5             ranks 10, 6, 1, 2
//   scores after two: 1 81, 0 36, 5 25, 9 16, 2 9, 3 4, 4 1; ranking 1 0 5 9 2 3 4 6 7 8
//   cycle 3: 8 x3, 2 x2, 1 x10                  ranks 10, 5, 1
// The 30 ranks: 1 x11, 2 x5, 5 x2, 6 x5, 10 x7; mean 131 / 30. The p-values are exact binomial
// tails, P(X >= hits) for X ~ Binomial(30, k/10), and (k/10)^3 for all three.
TEST(Backtest, HandWorkedHistoryGivesTheHandWorkedFigures) {
  TempDir dir;
  const std::string digits =
      "000001111222334"
      "999955555011111"
      "888221111111111";
  std::vector<std::string> lines = {"回別,抽せん日,曜日,当せん番号"};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    lines.push_back("第" + std::to_string(i + 1) + "回,2020/1/2,X," + std::string(3, digits[i]));
  }
  const std::string history = WriteHistoryFile(dir, lines);
  const Outcome outcome =
      RunCli(dir, {"backtest", history, "--filter", "none", "--format", "json"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // More draws than the history holds, even past 32 bits, means all of them.
  EXPECT_EQ(RunCli(dir, {"backtest", history, "--filter", "none", "--format", "json", "--last",
                         "4294967297"})
                .out,
            outcome.out);
  const auto run = nlohmann::ordered_json::parse(outcome.out)["runs"][0];
  EXPECT_EQ(run["trials"], 30);
  EXPECT_EQ(run["rankings"], 2);
  const std::vector<std::uint32_t> hits = {11, 16, 16, 16, 18, 23, 23, 23, 23, 30};
  const std::vector<double> place = {8.907787382303523e-05, 5.2387287118439516e-05,
                                     0.006370346377312188,  0.09705684382074897,
                                     0.1807973040267825,    0.04352411899655494,
                                     0.2813767081868813,    0.7607906186989568,
                                     0.9922163807620787,    1.0};
  const std::vector<double> allThree = {5.368373723905184e-26, 3.6823653697077925e-26,
                                        8.09175864770155e-18,  4.834569325342222e-12,
                                        1.061677751492791e-09, 1.9824361909923418e-10,
                                        2.587685882994428e-06, 0.0038674132464432734,
                                        0.40984236493093934,   1.0};
  const auto expectFigures = [&hits](const nlohmann::ordered_json& got,
                                     const std::vector<double>& pValues) {
    for (std::size_t k = 0; k < 10; ++k) {
      EXPECT_EQ(got["hits"][k].get<std::uint32_t>(), hits[k]) << "k " << k + 1;
      EXPECT_NEAR(got["p_values"][k].get<double>(), pValues[k], pValues[k] * 1e-9) << "k " << k + 1;
    }
  };
  for (const auto& p : run["places"]) {
    SCOPED_TRACE(p["place"].get<std::string>());
    expectFigures(p, place);
    EXPECT_DOUBLE_EQ(p["mean_rank"].get<double>(), 131.0 / 30.0);
  }
  expectFigures(run["all_three"], allThree);
}

// Filters outermost, each list in the order given, all expanded, repeats and none's frames
// dropped.
TEST(Backtest, RunsFollowTheListsAsGiven) {
  TempDir dir;
  const std::string history = RandomHistoryFile(dir, 40, 3);
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> runs;
  };
  const std::vector<Case> cases = {
      {{}, {"lpf head"}},
      {{"--filter", "none", "--frame", "all"}, {"none"}},
      {{"--filter", "bpf,none,lpf,bpf", "--frame", "tail,head,tail"},
       {"bpf tail", "bpf head", "none", "lpf tail", "lpf head"}},
      {{"--filter", "none,all", "--frame", "center,all"},
       {"none", "lpf center", "lpf head", "lpf tail", "lpf headtail", "bpf center", "bpf head",
        "bpf tail", "bpf headtail"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"backtest", history, "--format", "json"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome outcome = RunCli(dir, args);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto report = nlohmann::ordered_json::parse(outcome.out);
    std::vector<std::string> runs;
    for (const auto& run : report["runs"]) {
      runs.push_back(run["filter"].get<std::string>() +
                     (run["frame"].is_null() ? "" : " " + run["frame"].get<std::string>()));
    }
    EXPECT_EQ(runs, c.runs) << c.options.size();
  }
}

TEST(Backtest, CsvHasARowPerRunAndDraw) {
  TempDir dir;
  const std::string three = RandomHistoryFile(dir, 47, 11);
  std::vector<std::string> lines = RandomDrawLines(47, 12);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    lines[i] += std::to_string(i % 10);  // a fourth digit
  }
  const std::string four = WriteHistoryFile(dir, lines, "four.csv");
  for (const auto& [history, game, header] :
       {std::tuple{three, Game::kNumbers3,
                   "filter,frame,draw,hundreds,tens,ones,rank_hundreds,rank_tens,rank_ones\n"},
        std::tuple{four, Game::kNumbers4,
                   "filter,frame,draw,thousands,hundreds,tens,ones,rank_thousands,rank_hundreds,"
                   "rank_tens,rank_ones\n"}}) {
    SCOPED_TRACE(std::string(Word(game)));
    const Outcome outcome =
        RunCli(dir, {"backtest", history, "--filter", "none,lpf", "--frame", "tail", "--format",
                     "csv", "--game", std::string(Word(game))});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EvaluationRequest request;
    request.runs = {{FilterKind::None, FrameMode::Head}, {FilterKind::LowPass, FrameMode::Tail}};
    const Evaluation want = EvaluateFile(history, request, game);
    std::string expected = header;
    for (const RunOutcome& run : want.runs) {
      ASSERT_EQ(run.targets.size(), 32U);
      for (const TargetOutcome& t : run.targets) {
        expected += run.frame ? "lpf,tail," : "none,,";
        expected += std::to_string(t.draw);
        for (const auto& values : {t.digits, t.ranks}) {
          for (int p = 0; p < PlaceCount(game); ++p) {
            expected += "," + std::to_string(values[static_cast<std::size_t>(p)]);
          }
        }
        expected += "\n";
      }
    }
    EXPECT_EQ(outcome.out, expected);
  }
}

// A ranking that always hits is called better than chance; the correction counts every p-value
// printed (k = 1, 3, 5 for three places and all three, per run).
TEST(Backtest, TextSaysWhatSurvivesTheCorrection) {
  TempDir dir;
  const std::string repeated = WriteHistoryFile(dir, RepeatedDrawLines("572", 45), "572.csv");
  Outcome outcome = RunCli(dir, {"backtest", repeated, "--filter", "none,bpf", "--frame", "head"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  // Each run's table is headed by its name.
  const std::size_t none = outcome.out.find("\nnone          at k=1");
  const std::size_t bpf = outcome.out.find("\nbpf head      at k=1");
  EXPECT_TRUE(none != std::string::npos && bpf != std::string::npos && none < bpf) << outcome.out;
  EXPECT_NE(outcome.out.find("\n  hundreds    100.0%   10.0%  1e-30    100.0%   30.0%  2.06e-16  "
                             "100.0%   50.0%  9.31e-10      1.000\n"),
            std::string::npos)
      << outcome.out;
  // Both runs rank the repeated digits first: every p-value printed passes.
  const std::string verdict =
      "  Better than chance after a Bonferroni correction over the 24 p-values printed (p < "
      "0.0021): hundreds at k=1 (p = 1e-30), hundreds at k=3 (p = 2.1e-16), hundreds at k=5 "
      "(p = 9.3e-10), tens at k=1 (p = 1e-30), tens at k=3 (p = 2.1e-16), tens at k=5 (p = "
      "9.3e-10), ones at k=1 (p = 1e-30), ones at k=3 (p = 2.1e-16), ones at k=5 (p = 9.3e-10), "
      "all three at k=1 (p = 1e-90), all three at k=3 (p = 8.7e-48), all three at k=5 (p = "
      "8.1e-28).\n";
  const std::size_t first = outcome.out.find(verdict);
  ASSERT_NE(first, std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find(verdict, first + 1), std::string::npos) << outcome.out;

  const std::string random = RandomHistoryFile(dir, 100, 5);
  outcome = RunCli(dir, {"backtest", random});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("  Nothing here beats chance after a Bonferroni correction over the "
                             "12 p-values printed (p < 0.0042).\n"),
            std::string::npos)
      << outcome.out;
}

// Failures exit 1 and usage errors 2, with nothing on standard output.
TEST(Backtest, FailuresAndUsageErrors) {
  TempDir dir;
  const std::string history = RandomHistoryFile(dir, 30, 1);
  const std::string fifteen = WriteHistoryFile(dir, RepeatedDrawLines("123", 15), "15.csv");
  std::vector<std::string> withPayouts = RandomDrawLines(30, 1);
  withPayouts[0] =
      "回別,抽せん日,曜日,当せん番号,ストレート,ボックス,セット(ストレート),セット(ボックス),ミニ";
  withPayouts[2] += ",90000,1.5,,,";
  const std::string badPayout = WriteHistoryFile(dir, withPayouts, "payouts.csv");
  // Each payout column found by its own name, wherever it stands.
  withPayouts[0] = "回別,抽せん日,曜日,当せん番号,mini,STRAIGHT_PRIZE,box";
  const std::string badNamed = WriteHistoryFile(dir, withPayouts, "named.csv");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // the whole of standard error, or for usage errors a part of it
  };
  const std::vector<Case> cases = {
      {{"backtest", fifteen},
       1,
       "tolvane-cli: no evaluation: the history holds 15 draws; an evaluation needs at least "
       "16\n"},
      {{"backtest", dir.File("missing.csv")},
       1,
       "有効なファイルパスを入力してください。\ntolvane-cli: " + dir.File("missing.csv") +
           ": No such file or directory\n"},
      {{"backtest", history, "--last", "0"}, 2, "\"0\" is not a whole number of at least 1"},
      {{"backtest", history, "--last", "-2"}, 2, "\"-2\" is not a whole number of at least 1"},
      {{"backtest", history, "--filter", "lpf,,bpf"}, 2, "\"\" is not a choice"},
      {{"backtest", history, "--frame", "all,side"}, 2, "\"side\" is not a choice"},
      {{"backtest", history, "--format", "xml"}, 2, "Usage: "},
      {{"backtest", history, "--threads", "257"}, 2, "Usage: "},
      {{"backtest", history, "--bet", "mini", "--game", "numbers4"},
       2,
       "mini is not sold in numbers4"},
      {{"backtest", history, "--bet", "box,straight", "--tickets", "211"},
       2,
       "211 tickets of box a draw: numbers3 sells 210"},
      // Decimal, as every count: 0211 is not 137 (octal).
      {{"backtest", history, "--bet", "box", "--tickets", "0211"},
       2,
       "211 tickets of box a draw: numbers3 sells 210"},
      {{"backtest", history, "--bet", "box", "--tickets", "0x10"},
       2,
       "\"0x10\" is not a whole number from 1 to the number of distinct tickets"},
      {{"backtest", history, "--bet", "box", "--tickets", "0"},
       2,
       "\"0\" is not a whole number from 1 to the number of distinct tickets"},
      {{"backtest", history, "--bet", "dice"}, 2, "\"dice\" is not a kind of bet"},
      {{"backtest", history, "--tickets", "3"}, 2, "--tickets requires --bet"},
      {{"backtest", badPayout, "--bet", "box"},
       1,
       "tolvane-cli: " + badPayout +
           ":3: payout \"1.5\" in column ボックス is not an amount of yen\n"},
      {{"backtest", badNamed, "--bet", "box"},
       1,
       "tolvane-cli: " + badNamed +
           ":3: payout \"1.5\" in column ストレート is not an amount of yen\n"},
      {{"backtest"}, 2, "Usage: "},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunCli(dir, c.args);
    EXPECT_EQ(outcome.status, c.status) << c.args.back();
    EXPECT_EQ(outcome.out, "") << c.args.back();
    if (c.status == 1) {
      EXPECT_EQ(outcome.err, c.err);
    } else {
      EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
    }
  }
  // A report nobody received is no success.
  EXPECT_EQ(RunCli(dir, {"backtest", history}, "/dev/full").status, 1);
}

// Tickets bought with every ranking, in each format: the counts per run and kind, the actual
// payouts the history carries counted, and a CSV row per run, kind and draw.
TEST(Backtest, MoneyReplayInEveryFormat) {
  TempDir dir;
  std::vector<std::string> lines = RandomDrawLines(60, 4);
  lines[0] =
      "回別,抽せん日,曜日,当せん番号,ストレート,ボックス,セット(ストレート),セット(ボックス),ミニ,"
      "ボーナス賞金";
  for (std::size_t i = 51; i < lines.size(); ++i) {
    lines[i] += ",\"98,000\",-,,該当なし,8000";  // the last ten draws pay straight and mini
  }
  // Box and set are not sold on 777: a results file gives 0 for them, which is no payout.
  lines[55] = "第55回,2020/1/2,X,777,\"98,000\",0,0,0,8000";
  const std::string history = WriteHistoryFile(dir, lines, "money.csv");
  const std::vector<std::string> args = {"backtest", history, "--filter",  "none,lpf",
                                         "--bet",    "all",   "--tickets", "3"};
  std::vector<std::string> json = args;
  json.insert(json.end(), {"--format", "json"});
  const Outcome jsonRun = RunCli(dir, json);
  ASSERT_EQ(jsonRun.status, 0) << jsonRun.err;
  const auto report = nlohmann::ordered_json::parse(jsonRun.out);
  ASSERT_EQ(report["runs"].size(), 2U);
  for (const auto& run : report["runs"]) {
    ASSERT_EQ(run["money"].size(), 4U);
    for (const auto& money : run["money"]) {
      EXPECT_EQ(Keys(money),
                (std::vector<std::string>{"bet", "tickets", "draws", "cost", "winnings", "return",
                                          "hits", "random_return", "random_range", "p_value",
                                          "actual_payouts", "p_value_from"}));
      EXPECT_EQ(money["tickets"], 3);
      EXPECT_EQ(money["draws"], 45);
      EXPECT_EQ(money["cost"], 3 * 200 * 45);
      const bool paid = money["bet"] == "straight" || money["bet"] == "mini";
      EXPECT_EQ(money["actual_payouts"], paid ? 10 : 0) << money["bet"];
      EXPECT_EQ(money["p_value_from"],
                money["bet"] == "box" || money["bet"] == "set" || paid ? "simulation" : "exact");
    }
  }
  std::vector<std::string> csv = args;
  csv.insert(csv.end(), {"--format", "csv"});
  const Outcome csvRun = RunCli(dir, csv);
  ASSERT_EQ(csvRun.status, 0) << csvRun.err;
  EXPECT_TRUE(
      csvRun.out.starts_with("filter,frame,bet,draw,number,hits,winnings\nnone,,straight,16,"))
      << csvRun.out.substr(0, 200);
  EXPECT_EQ(std::count(csvRun.out.begin(), csvRun.out.end(), '\n'), 1 + 2 * 4 * 45);
  const Outcome text = RunCli(dir, args);
  EXPECT_TRUE(text.err.starts_with("tolvane-cli: warning: " + history +
                                   ": \"ボーナス賞金\" looks like a payout column but is not read"))
      << text.err;
  EXPECT_NE(text.out.find("\n  mini           3     45        27,000 "), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("\n  actual payouts (else theoretical) on straight 10, box 0 (1 not "
                          "sold), set 0 (1 not sold), mini 10 of 45 draws\n"),
            std::string::npos);

  // Ten-digit payouts: winnings past 2^32 yen and returns of millions of per cent widen their
  // columns; every row stays whole and under its header.
  std::vector<std::string> wideLines = RandomDrawLines(60, 4);
  wideLines[0] = lines[0];
  for (std::size_t i = 1; i < wideLines.size(); ++i) {
    wideLines[i] += ",4294967295,4294967295,,,";
  }
  const Outcome wide = RunCli(dir, {"backtest", WriteHistoryFile(dir, wideLines, "wide.csv"),
                                    "--filter", "none", "--bet", "straight", "--tickets", "1000"});
  ASSERT_EQ(wide.status, 0) << wide.err;
  const std::size_t at = wide.out.find("  tickets ");
  ASSERT_NE(at, std::string::npos) << wide.out;
  const std::string title = wide.out.substr(at, wide.out.find('\n', at) - at);
  const std::size_t rowAt = at + title.size() + 1;
  const std::string row = wide.out.substr(rowAt, wide.out.find('\n', rowAt) - rowAt);
  EXPECT_TRUE(row.starts_with("  straight    1000     45     9,000,000 193,273,528,275 ")) << row;
  EXPECT_TRUE(row.ends_with(" exact")) << row;
  for (const char* column : {"cost", "winnings", "return", "wins", "random"}) {
    const std::size_t end = title.find(std::string(" ") + column) + 1 + std::strlen(column);
    EXPECT_NE(row[end - 1], ' ') << column << "\n" << title << "\n" << row;
    EXPECT_EQ(row[end], ' ') << column << "\n" << title << "\n" << row;
  }
}

// Quiet for the first second, then redrawn in place, and erased at the end.
TEST(Backtest, ProgressBarShowsAfterASecondAndLeavesNoTrace) {
  std::ostringstream out;
  cli::ProgressBar bar(out);
  bar.Update(0, 200, 0.0);
  bar.Update(100, 200, 0.9);
  EXPECT_EQ(out.str(), "");
  bar.Update(50, 200, 1.0);
  const std::string first = "\r[#######.......................]  25 %  about 3 s left";
  EXPECT_EQ(out.str(), first);
  bar.Update(200, 200, 2.0);
  EXPECT_EQ(out.str().substr(first.size()),
            "\r[##############################] 100 %  about 0 s left");
  bar.Clear();
  EXPECT_EQ(out.str().substr(2 * first.size()), "\r" + std::string(first.size() - 1, ' ') + "\r");
  EXPECT_EQ(cli::ProgressLine(0, 10, 5.0),
            "[..............................]   0 %  estimating the "
            "time left");
}

}  // namespace
}  // namespace tolvane::test
