// Arbitrary bytes as a history file, loaded with a log: nothing may crash, leak or read out of
// bounds, and the records must be either fully loaded or untouched. Loaded again without a log,
// where plain lines are judged from their bytes, it must give the same outcome in every detail.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "fuzz/scratch_dir.h"
#include "history/draw_history.h"

using tolvane::fuzz::Check;

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

  tolvane::DrawHistory history{};
  tolvane::LoadReport report;
  const std::int32_t result =
      tolvane::LoadDrawHistory(path, history.hundreds, history.tens, history.ones, log, &report);

  tolvane::DrawHistory unlogged{};
  tolvane::LoadReport unloggedReport;
  Check(tolvane::LoadDrawHistory(path, unlogged.hundreds, unlogged.tens, unlogged.ones, "",
                                 &unloggedReport) == result);
  Check(unloggedReport.line == report.line && unloggedReport.reason == report.reason &&
        unloggedReport.draws == report.draws && unloggedReport.lowestRound == report.lowestRound &&
        unloggedReport.highestRound == report.highestRound &&
        unloggedReport.firstOutOfOrderLine == report.firstOutOfOrderLine);
  for (const auto& [logged, bare] : {std::pair{history.hundreds, unlogged.hundreds},
                                     {history.tens, unlogged.tens},
                                     {history.ones, unlogged.ones}}) {
    Check(logged.size == bare.size);
    for (std::uint32_t i = 0; i < logged.size; ++i) {
      Check(logged.data[i] == bare.data[i]);
    }
  }
  tolvane::ReleaseDrawHistory(unlogged);
  if (result == tolvane::kLoadOk) {
    const std::uint32_t n = history.hundreds.size;
    Check(history.tens.size == n && history.ones.size == n);
    for (const tolvane::WAData* series : {&history.hundreds, &history.tens, &history.ones}) {
      Check(series->rate == 1 && series->data != nullptr);
      for (std::uint32_t i = 0; i < n; ++i) {
        Check(series->data[i] >= 0.0 && series->data[i] <= 9.0);
      }
    }
  } else {
    Check(result == tolvane::kLoadFailed);
    for (const tolvane::WAData* series : {&history.hundreds, &history.tens, &history.ones}) {
      Check(series->data == nullptr && series->size == 0 && series->rate == 0);
    }
  }
  tolvane::ReleaseDrawHistory(history);
  return 0;
}
