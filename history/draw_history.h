#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/game.h"
#include "core/owned.h"
#include "core/wa_data.h"
#include "history/load_report.h"

namespace tolvane {

// The digit series of one history file, a place each; entry i of each belongs to draw line i.
// The caller owns the records and frees their arrays (ReleaseDrawHistory, or OwnedHistory).
struct DrawHistory {
  WAData hundreds;
  WAData tens;
  WAData ones;
  WAData thousands;  // Numbers 4 only
  Game game;         // which places hold draws; Numbers 3 when zeroed
};

inline void ReleaseDrawHistory(DrawHistory& history) {
  ReleaseSeries(history.hundreds);
  ReleaseSeries(history.tens);
  ReleaseSeries(history.ones);
  ReleaseSeries(history.thousands);
}

// The series of the game's places, highest first: PlaceCount(history.game) of them.
inline std::array<const WAData*, kMaxPlaces> PlaceSeries(const DrawHistory& history) {
  if (history.game == Game::kNumbers4) {
    return {&history.thousands, &history.hundreds, &history.tens, &history.ones};
  }
  return {&history.hundreds, &history.tens, &history.ones, nullptr};
}
inline std::array<WAData*, kMaxPlaces> PlaceSeries(DrawHistory& history) {
  if (history.game == Game::kNumbers4) {
    return {&history.thousands, &history.hundreds, &history.tens, &history.ones};
  }
  return {&history.hundreds, &history.tens, &history.ones, nullptr};
}
// How many draws a history holds.
inline std::uint32_t DrawCount(const DrawHistory& history) { return history.ones.size; }

using OwnedHistory = Owned<DrawHistory, ReleaseDrawHistory>;

// Loader results.
inline constexpr std::int32_t kLoadOk = 0;
inline constexpr std::int32_t kLoadCannotOpen = -4;  // log or history file cannot be opened
inline constexpr std::int32_t kLoadFailed = -5;      // any other failure

// Reads a code page 932 history file (header line, then "第N回,Y/M/D,any,NNN" draw lines) into
// the three series, all or nothing: on any non-zero result the records are exactly as they were.
// `path` is used unchanged (UTF-8 on Linux); an empty `logPath` means no log. `report`, when
// given, receives where and why a load failed, or how many draws it read. A Numbers 3 history.
std::int32_t LoadDrawHistory(const std::string& path, WAData& hundreds, WAData& tens, WAData& ones,
                             const std::string& logPath, LoadReport* report = nullptr,
                             const LoadOptions& options = {});

// The same for the game `options` names, into every place of `history`, whose game it sets on
// success (only then: a failure leaves the whole record as it was).
std::int32_t LoadDrawHistory(const std::string& path, DrawHistory& history,
                             const std::string& logPath, LoadReport* report = nullptr,
                             const LoadOptions& options = {});

// The checks of LoadDrawHistory on a file's bytes already read, keeping no series: `report`
// says what a load of a file holding them would say (where and why it fails, or how many draws
// it read and what it warns about).
std::int32_t CheckDrawHistoryBytes(std::string_view bytes, LoadReport* report = nullptr,
                                   const LoadOptions& options = {});

}  // namespace tolvane
