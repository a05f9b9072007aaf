#pragma once

#include <cstdint>
#include <string>

#include "core/owned.h"
#include "core/wa_data.h"
#include "history/load_report.h"

namespace tolvane {

// The three digit series of one history file; entry i of each belongs to draw line i.
// The caller owns the records and frees their arrays (ReleaseDrawHistory, or OwnedHistory).
struct DrawHistory {
  WAData hundreds;
  WAData tens;
  WAData ones;
};

inline void ReleaseDrawHistory(DrawHistory& history) {
  ReleaseSeries(history.hundreds);
  ReleaseSeries(history.tens);
  ReleaseSeries(history.ones);
}

using OwnedHistory = Owned<DrawHistory, ReleaseDrawHistory>;

// Loader results.
inline constexpr std::int32_t kLoadOk = 0;
inline constexpr std::int32_t kLoadCannotOpen = -4;  // log or history file cannot be opened
inline constexpr std::int32_t kLoadFailed = -5;      // any other failure

// Reads a code page 932 history file (header line, then "第N回,Y/M/D,any,NNN" draw lines) into
// the three series, all or nothing: on any non-zero result the records are exactly as they were.
// `path` is used unchanged (UTF-8 on Linux); an empty `logPath` means no log. `report`, when
// given, receives where and why a load failed, or how many draws it read.
std::int32_t LoadDrawHistory(const std::string& path, WAData& hundreds, WAData& tens, WAData& ones,
                             const std::string& logPath, LoadReport* report = nullptr,
                             const LoadOptions& options = {});

}  // namespace tolvane
