// Arbitrary bytes as a results file to import. The first byte chooses the encoding, whether the
// columns are given and the game; the rest is the file. Nothing may crash, leak or read out of
// bounds, a failure must say where and why, and whatever converts must load as a history with the
// same draws.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/scratch_dir.h"
#include "history/draw_history.h"
#include "history/history_import.h"

using tolvane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  static const tolvane::fuzz::ScratchDir scratch;
  static const std::string source = scratch.File("results.csv");
  static const std::string history = scratch.File("history.csv");
  tolvane::fuzz::WriteFile(source, data + 1, size - 1);

  tolvane::ImportOptions options;
  options.encoding =
      (data[0] & 1) != 0 ? tolvane::TextEncoding::kUtf8 : tolvane::TextEncoding::kCp932;
  if ((data[0] & 2) != 0) {
    options.columns = tolvane::ImportColumns{(data[0] >> 2) & 3U, (data[0] >> 4) & 3U, 2};
  }
  options.game = (data[0] & 64) != 0 ? tolvane::Game::kNumbers4 : tolvane::Game::kNumbers3;
  tolvane::ImportResult result;
  if (!tolvane::ConvertHistorySource(source, options, result)) {
    Check(!result.reason.empty() && result.draws.empty());
    return 0;
  }
  for (std::size_t i = 0; i < result.draws.size(); ++i) {
    Check(result.draws[i].date.ok());
    Check(i == 0 || result.draws[i - 1].round < result.draws[i].round);
  }

  const std::optional<std::string> bytes = tolvane::HistoryFileBytes(result.draws, options.game);
  Check(bytes.has_value());
  tolvane::fuzz::WriteFile(history, bytes->data(), bytes->size());
  tolvane::DrawHistory loaded{};
  Check(tolvane::LoadDrawHistory(history, loaded, "", nullptr,
                                 {tolvane::TextEncoding::kCp932, options.game}) ==
        tolvane::kLoadOk);
  Check(tolvane::DrawCount(loaded) == result.draws.size());
  const auto places = tolvane::PlaceSeries(loaded);
  for (std::size_t i = 0; i < result.draws.size(); ++i) {
    for (int p = 0; p < tolvane::PlaceCount(options.game); ++p) {
      const auto at = static_cast<std::size_t>(p);
      Check(places[at]->data[i] == result.draws[i].digits[at]);
    }
  }
  tolvane::ReleaseDrawHistory(loaded);
  return 0;
}
