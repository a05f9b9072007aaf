#include "app/prediction_command.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "predict/narrow_texts.h"
#include "tests/app/recording_view.h"
#include "tests/support/history_file.h"
#include "tests/support/result_text.h"

namespace tolvane::test {
namespace {

constexpr const char* kStartBox = "box:NUMBERS3 予想開始します||none";
constexpr const char* kLoadFailedBox =
    "app:エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。|error";

std::u16string Wide(const std::string& utf8) { return Utf8ToUtf16(utf8); }

TEST(PredictionCommand, EmptyPathShowsTheStartBoxThenTheError) {
  RecordingView view;
  RunPredictionCommand(view);
  const std::vector<std::string> expected = {"save", "result:", kStartBox,
                                             "box:ファイルパスが入力されていません。|エラー|error"};
  EXPECT_EQ(view.events, expected);
}

TEST(PredictionCommand, MissingPathIsCheckedAsUtf8) {
  TempDir dir;
  RecordingView view;
  const std::string path = dir.File("履歴なし.csv");
  view.inputs.filePath = Wide(path);
  RunPredictionCommand(view);
  const std::vector<std::string> expected = {
      "save", "result:", kStartBox, "exists:" + path,
      "box:有効なファイルパスを入力してください。|エラー|error"};
  EXPECT_EQ(view.events, expected);
}

// A folder passes the existence check, so the loader is what refuses it.
TEST(PredictionCommand, FailedLoadIsReportedAndLeavesTheAreaEmpty) {
  TempDir dir;
  WriteBytes(dir.File("empty.csv"), "");
  std::vector<std::string> blankLineAtEnd = RepeatedDrawLines("123", 20);
  blankLineAtEnd.emplace_back();
  for (const std::string& path : {dir.path().string(), dir.File("empty.csv"),
                                  WriteHistoryFile(dir, blankLineAtEnd, "blank-line.csv")}) {
    RecordingView view;
    view.inputs.filePath = Wide(path);
    RunPredictionCommand(view);
    const std::vector<std::string> expected = {"save",           "result:", kStartBox,
                                               "exists:" + path, "result:", kLoadFailedBox};
    EXPECT_EQ(view.events, expected) << path;
  }
}

TEST(PredictionCommand, SuccessShowsTheFormattedResultThenSetsTheFont) {
  TempDir dir;
  const std::string path = WriteHistoryFile(dir, RepeatedDrawLines("572", 61), "履歴.csv");
  for (const FilterKind filter : {FilterKind::LowPass, FilterKind::BandPass, FilterKind::None}) {
    RecordingView view;
    view.inputs = {Wide(path), filter, FrameMode::Head};
    view.roundText = u"6501";
    RunPredictionCommand(view);
    const std::vector<std::string> expected = {"save",
                                               "result:",
                                               kStartBox,
                                               "exists:" + path,
                                               "spin",
                                               "round",
                                               "result:" + RepeatedDrawResult("6501", "572"),
                                               "font"};
    EXPECT_EQ(view.events, expected) << "filter " << Word(filter);
  }
}

TEST(PredictionCommand, RoundShowsAsTheLeadingIntegerOfItsText) {
  TempDir dir;
  const std::string path = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"", "0"}, {u"  -12abc", "-12"}, {u"99999999999", "2147483647"}};
  for (const auto& [text, shown] : cases) {
    RecordingView view;
    view.inputs.filePath = Wide(path);
    view.inputs.filter = FilterKind::None;
    view.roundText = text;
    RunPredictionCommand(view);
    EXPECT_EQ(view.ResultArea(), RepeatedDrawResult(shown, "572"));
  }
}

TEST(RoundNumberFromText, ReadsALeadingIntegerAndSaturates) {
  const std::vector<std::pair<std::u16string, int>> cases = {
      {u"", 0},
      {u"42", 42},
      {u" \t\n\v\f\r42", 42},
      {u"+15", 15},
      {u"-7x", -7},
      {u"12abc34", 12},
      {u"abc", 0},
      {u"-", 0},
      {u"+-3", 0},
      {u"- 3", 0},
      {u"0042", 42},
      {u"\u30003", 0},  // only the ASCII blanks are skipped
      {u"\uff13", 0},   // a full-width digit is no digit
      {u"2147483647", INT_MAX},
      {u"-2147483648", INT_MIN},
      // Past the range the value saturates instead of wrapping.
      {u"2147483648", INT_MAX},
      {u"-2147483649", INT_MIN},
      {u"123456789012345678901234567890", INT_MAX},
      {u"-000000000000000000000000000001", -1},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(RoundNumberFromText(text), value) << Utf16ToUtf8(text);
  }
}

// The log path reaches the loader and all three predictor calls; the log shows which predictor
// ran, for which place in which order, and with which frame mode and filter kind.
TEST(PredictionCommand, ChoosesThePredictorByFilterKind) {
  TempDir dir;
  const std::string path = WriteHistoryFile(dir, RepeatedDrawLines("572", 64));
  struct Case {
    FilterKind filter;
    FrameMode frame;
    std::string predictor;
    std::string engineLine;  // empty: the unfiltered engine, which logs no frame or filter
  };
  const std::vector<Case> cases = {
      {FilterKind::None, FrameMode::Tail, "PredictPowerSpectrumDigit", ""},
      {FilterKind::LowPass, FrameMode::Center, "PredictDigit", "fftFlag: 2, iFType: 0"},
      {FilterKind::BandPass, FrameMode::HeadTail, "PredictDigit", "fftFlag: -1, iFType: 1"},
  };
  for (const Case& c : cases) {
    const std::string log = dir.File("trace-" + std::string(Word(c.filter)) + ".log");
    RecordingView view;
    view.inputs = {Wide(path), c.filter, c.frame};
    RunPredictionCommand(view, log);
    EXPECT_EQ(view.ResultArea(), RepeatedDrawResult("1", "572"));

    std::vector<std::string> calls;
    int loaderLines = 0;
    int engineLines = 0;
    for (const std::string& line : ReadLines(log)) {
      if (line.find(" called for ") != std::string::npos &&
          !line.starts_with("ProcessSingleDigit")) {
        calls.push_back(line);
      }
      loaderLines += line.starts_with("Processing line: ") ? 1 : 0;
      if (line.starts_with("fftFlag: ")) {
        EXPECT_EQ(line, c.engineLine);
        ++engineLines;
      }
    }
    const std::string called = c.predictor + " called for ";
    // Every line of the log is UTF-8, the place labels included.
    const std::vector<std::string> expected = {called + "百の位", called + "十の位",
                                               called + "一の位"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(loaderLines, 64);
    EXPECT_EQ(engineLines, c.engineLine.empty() ? 0 : 30);
  }
}

// A predictor that fails without throwing puts its failure text in its place; the run still
// counts as a success.
TEST(PredictionCommand, PredictorFailureTextStandsInTheMessage) {
  TempDir dir;
  const std::string shortHistory = WriteHistoryFile(dir, RepeatedDrawLines("572", 14));
  const std::vector<PredictionInputs> cases = {
      {Wide(shortHistory), FilterKind::None, FrameMode::Head},
      {Wide(shortHistory), FilterKind::LowPass, FrameMode::Head},
      {Wide(shortHistory), FilterKind::BandPass, FrameMode::HeadTail}};
  for (const PredictionInputs& inputs : cases) {
    RecordingView view;
    view.inputs = inputs;
    RunPredictionCommand(view);
    EXPECT_EQ(view.ResultArea(), ResultText("1", {"Error", "Error", "Error"}));
    EXPECT_EQ(view.events.back(), "font");
  }
}

TEST(PredictionCommand, ExceptionsAreShownAndClearTheArea) {
  TempDir dir;
  const std::string path = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  struct Case {
    std::string throwOn;
    std::function<void()> thrower;
    std::string box;
  };
  const std::vector<Case> cases = {
      {"round", [] { throw std::runtime_error(std::string(kPlaceTens)); },
       "app:エラーが発生しました: 十の位|error"},
      {"save", [] { throw std::bad_alloc(); }, "app:エラーが発生しました: std::bad_alloc|error"},
      {"exists", [] { throw 5; }, "app:不明なエラーが発生しました。|error"},
      // Thrown after the result was shown: the failed run must not leave it there.
      {"font", [] { throw std::length_error("late"); }, "app:エラーが発生しました: late|error"},
  };
  for (const Case& c : cases) {
    RecordingView view;
    view.inputs.filePath = Wide(path);
    view.throwOn = c.throwOn;
    view.thrower = c.thrower;
    EXPECT_NO_THROW(RunPredictionCommand(view));
    ASSERT_GE(view.events.size(), 2U);
    EXPECT_EQ(view.events.back(), c.box) << c.throwOn;
    EXPECT_EQ(view.events[view.events.size() - 2], "result:") << c.throwOn;
  }
}

TEST(PredictionCommand, NeverThrowsEvenWhenTheErrorBoxFails) {
  struct FailingBoxView : RecordingView {
    void ShowAppMessage(const std::u16string&, MessageIcon, const std::u16string&) override {
      throw 1;
    }
  } view;
  view.inputs.filePath = u"/";
  view.throwOn = "exists";
  view.thrower = [] { throw std::runtime_error("broken"); };
  EXPECT_NO_THROW(RunPredictionCommand(view));
}

// The stretches of the per-cycle series the transform takes, as the engine picks them.
TEST(TransformedCycles, FollowTheFrameTheEngineTransforms) {
  struct Case {
    std::uint32_t cycles;
    FilterKind filter;
    FrameMode frame;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
  };
  const std::vector<Case> cases = {
      {433, FilterKind::None, FrameMode::Tail, {{0, 256}}},
      {433, FilterKind::LowPass, FrameMode::Head, {{0, 256}}},
      {433, FilterKind::LowPass, FrameMode::Tail, {{177, 433}}},
      {433, FilterKind::BandPass, FrameMode::Center, {{88, 344}}},
      {433, FilterKind::BandPass, FrameMode::HeadTail, {{0, 256}, {177, 433}}},
      {256, FilterKind::LowPass, FrameMode::HeadTail, {{0, 256}}},  // both frames are the series
      {1, FilterKind::LowPass, FrameMode::Tail, {{0, 1}}},
      {0, FilterKind::None, FrameMode::Head, {}},  // fewer than 15 draws: nothing transformed
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
    for (const CycleSpan& span : TransformedCycles(c.cycles, c.filter, c.frame)) {
      spans.emplace_back(span.start, span.end);
    }
    EXPECT_EQ(spans, c.spans) << c.cycles << " " << Word(c.filter) << " " << Word(c.frame);
  }
}

// The window's text and the structured result come from one computation.
TEST(PredictionCommand, AnalysisAgreesWithTheShownText) {
  TempDir dir;
  const std::string path = WriteHistoryFile(dir, RepeatedDrawLines("572", 61));
  RecordingView view;
  view.inputs = {Wide(path), FilterKind::BandPass, FrameMode::Tail, true};
  view.roundText = u"77";
  RunPredictionCommand(view);
  ASSERT_TRUE(view.analysis.has_value());
  const PredictionAnalysis& analysis = *view.analysis;
  EXPECT_EQ(analysis.round, 77);
  EXPECT_EQ(analysis.draws, 61U);
  EXPECT_EQ(analysis.cycles, 4U);
  const std::array<int, 3> first = {5, 7, 2};
  for (std::size_t place = 0; place < 3; ++place) {
    EXPECT_TRUE(analysis.places[place].ok);
    EXPECT_EQ(analysis.places[place].ranking[0], first[place]);
    EXPECT_EQ(analysis.places[place].spectra[0].size(), 4U);
  }
}

}  // namespace
}  // namespace tolvane::test
