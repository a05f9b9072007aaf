// Arbitrary bytes as a history file, loaded as each game with a log: nothing may crash, leak or
// read out of bounds, and the records must be either fully loaded or untouched. Loaded again
// without a log, where plain lines are judged from their bytes, it must give the same outcome in
// every detail.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/scratch_dir.h"
#include "history/draw_history.h"

using tolvane::fuzz::Check;

namespace {

bool SameReport(const tolvane::LoadReport& a, const tolvane::LoadReport& b) {
  return a.line == b.line && a.reason == b.reason && a.draws == b.draws &&
         a.lowestRound == b.lowestRound && a.highestRound == b.highestRound &&
         a.firstOutOfOrderLine == b.firstOutOfOrderLine &&
         a.firstLongNumberLine == b.firstLongNumberLine && a.firstLongNumber == b.firstLongNumber &&
         a.fourDigitNumbers == b.fourDigitNumbers;
}

void LoadAs(tolvane::Game game, const std::string& path, const std::string& log) {
  const tolvane::LoadOptions options{tolvane::TextEncoding::kCp932, game};
  // The game set beforehand, so the places compared below are the game's whatever the outcome.
  tolvane::DrawHistory history{};
  history.game = game;
  tolvane::LoadReport report;
  const std::int32_t result = tolvane::LoadDrawHistory(path, history, log, &report, options);

  tolvane::DrawHistory unlogged{};
  unlogged.game = game;
  tolvane::LoadReport unloggedReport;
  Check(tolvane::LoadDrawHistory(path, unlogged, "", &unloggedReport, options) == result);
  Check(SameReport(report, unloggedReport));
  const int places = tolvane::PlaceCount(game);
  const auto logged = tolvane::PlaceSeries(history);
  const auto bare = tolvane::PlaceSeries(unlogged);
  for (int p = 0; p < places; ++p) {
    const tolvane::WAData& a = *logged[static_cast<std::size_t>(p)];
    const tolvane::WAData& b = *bare[static_cast<std::size_t>(p)];
    Check(a.size == b.size);
    for (std::uint32_t i = 0; i < a.size; ++i) {
      Check(a.data[i] == b.data[i]);
    }
  }
  tolvane::ReleaseDrawHistory(unlogged);
  if (result == tolvane::kLoadOk) {
    Check(history.game == game);
    const std::uint32_t n = tolvane::DrawCount(history);
    for (int p = 0; p < places; ++p) {
      const tolvane::WAData& series = *logged[static_cast<std::size_t>(p)];
      Check(series.size == n && series.rate == 1 && series.data != nullptr);
      for (std::uint32_t i = 0; i < n; ++i) {
        Check(series.data[i] >= 0.0 && series.data[i] <= 9.0);
      }
    }
    Check(report.fourDigitNumbers <= report.draws);
    Check((report.firstLongNumberLine == 0) == report.firstLongNumber.empty());
  } else {
    Check(result == tolvane::kLoadFailed);
    for (const tolvane::WAData* series :
         {&history.hundreds, &history.tens, &history.ones, &history.thousands}) {
      Check(series->data == nullptr && series->size == 0 && series->rate == 0);
    }
  }
  tolvane::ReleaseDrawHistory(history);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tolvane::fuzz::ScratchDir scratch;
  static const std::string path = scratch.File("history.csv");
  static const std::string log = scratch.File("trace.log");
  tolvane::fuzz::WriteFile(path, data, size);
  // Traces pile up across inputs; starting afresh now and then keeps the file small.
  std::error_code ignored;
  if (std::filesystem::file_size(log, ignored) > (std::uintmax_t{1} << 20)) {
    std::filesystem::remove(log, ignored);
  }
  LoadAs(tolvane::Game::kNumbers3, path, log);
  LoadAs(tolvane::Game::kNumbers4, path, log);
  return 0;
}
