#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/cp932.h"
#include "core/wa_data.h"
#include "history/load_report.h"

namespace tolvane {

using Cp932DecoderFactory = std::unique_ptr<Cp932Decoder> (*)();

// LoadDrawHistory with the decoder obtained from `openDecoder` (nullptr = no decoder on this
// system), so that case can be exercised where the system does have one.
std::int32_t LoadDrawHistoryUsing(Cp932DecoderFactory openDecoder, const std::string& path,
                                  WAData& hundreds, WAData& tens, WAData& ones,
                                  const std::string& logPath, LoadReport* report = nullptr,
                                  const LoadOptions& options = {});

}  // namespace tolvane
