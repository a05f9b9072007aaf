#include "evaluate/digit_series.h"

#include <algorithm>

#include "core/wa_data.h"
#include "spectral/engine_status.h"
#include "spectral/fir_filter.h"
#include "spectral/slot_table.h"

namespace tolvane {
namespace {

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// Designs the kernel as the filtered processing does and runs each count series through it.
std::int32_t FilterAll(std::int32_t kind, const std::array<std::vector<double>, kDigitSeries>& in,
                       std::size_t count, const std::atomic<bool>* cancel,
                       std::array<std::vector<double>, kDigitSeries>& out) {
  // Declared in this order so that the filter's slot goes before the engine is released.
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  if (kind == kFilterBandPass) {
    if (const std::int32_t status = DesignBandPass(filter); status != StatusOk) {
      return status;
    }
  } else {
    // A failed design leaves no kernel, which ApplyFilter reports.
    DesignLowPass(filter);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (Cancelled(cancel)) {
      return kBuildCancelled;
    }
    OwnedSeries series(
        WAData{new double[in[i].size()], static_cast<std::uint32_t>(in[i].size()), 1});
    std::copy(in[i].begin(), in[i].end(), series->data);
    if (const std::int32_t status = ApplyFilter(filter, series.get()); status != StatusOk) {
      return status;
    }
    out[i].assign(series->data, series->data + series->size);
  }
  return StatusOk;
}

}  // namespace

std::int32_t BuildDigitSeries(const DrawHistory& history, std::uint32_t cycles, bool lowPass,
                              bool bandPass, const std::atomic<bool>* cancel, DigitSeries& out) {
  const std::array<const WAData*, kMaxPlaces> places = PlaceSeries(history);
  const int placeCount = PlaceCount(history.game);
  out.count = static_cast<std::size_t>(placeCount) * kDigitValues;
  auto& counts = out.bySource[static_cast<std::size_t>(SeriesSource::Counts)];
  for (int place = 0; place < placeCount; ++place) {
    const std::vector<std::int32_t> table =
        CountPerCycle(*places[static_cast<std::size_t>(place)], cycles);
    for (int digit = 0; digit < kDigitValues; ++digit) {
      const auto row = table.begin() + static_cast<std::ptrdiff_t>(digit) * cycles;
      std::vector<double>& series = counts[SeriesIndex(place, digit)];
      series.resize(cycles);
      std::transform(row, row + cycles, series.begin(),
                     [](std::int32_t count) { return static_cast<double>(count); });
    }
  }
  if (lowPass) {
    if (const std::int32_t status =
            FilterAll(kFilterLowPass, counts, out.count, cancel,
                      out.bySource[static_cast<std::size_t>(SeriesSource::LowPass)]);
        status != StatusOk) {
      return status;
    }
  }
  if (bandPass) {
    return FilterAll(kFilterBandPass, counts, out.count, cancel,
                     out.bySource[static_cast<std::size_t>(SeriesSource::BandPass)]);
  }
  return StatusOk;
}

}  // namespace tolvane
