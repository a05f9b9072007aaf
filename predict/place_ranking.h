#pragma once

#include <cstdint>
#include <string>

#include "core/wa_data.h"
#include "predict/digit_ranking.h"
#include "predict/prediction_options.h"

namespace tolvane {

// What a ranking keeps and where it writes its trace.
struct RankingOptions {
  bool keepSpectra = false;  // fill DigitRanking::spectra
  std::string placeLabel;    // code page 932 bytes; appears only in the log
  std::string logPath;       // empty: no log
};

// Ranks the ten digit values of one place exactly as the text predictors do (the same engine
// calls and the same log): with FilterKind::None the frame plays no part.
DigitRanking RankPlace(const WAData& series, FilterKind filter, FrameMode frame,
                       const RankingOptions& options = {});

// The two ways a place is ranked, with the engine's 32-bit codes; the predictors' text comes
// from these.
DigitRanking RankPlaceUnfiltered(const WAData& series, const RankingOptions& options);
DigitRanking RankPlaceFiltered(const WAData& series, std::int32_t frameMode,
                               std::int32_t filterKind, const RankingOptions& options);

}  // namespace tolvane
