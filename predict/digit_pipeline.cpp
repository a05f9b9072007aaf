#include "predict/digit_pipeline.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/cp932.h"
#include "core/diagnostic_log.h"
#include "core/utf.h"

namespace tolvane {
namespace {

// A digit's count series. Owned, so the array it holds at the end is freed, which after
// filtering is the engine's replacement rather than the array built here.
OwnedSeries MakeDigitSeries(const std::int32_t* counts, std::uint32_t cycles) {
  OwnedSeries series(WAData{new double[cycles], cycles, 1});
  for (std::uint32_t j = 0; j < cycles; ++j) {
    series->data[j] = static_cast<double>(counts[j]);
  }
  return series;
}

}  // namespace

DigitRanking RunDigitPipeline(const WAData& series, std::string_view callerName,
                              const std::string& placeLabel, const std::string& logPath,
                              const DigitSpectrumStep& spectrumStep, bool keepSpectra) {
  if (series.size == 0 || series.rate == 0 || series.data == nullptr) {
    return {};
  }
  const std::uint32_t cycles = series.size / kCycleLength;
  const std::vector<std::int32_t> counts = CountPerCycle(series, cycles);

  DiagnosticLog log(logPath);
  // The label comes in code page 932 like the other texts of the analysis side; the log is UTF-8.
  log << callerName << " called for "
      << (log.IsOpen() ? Utf16ToUtf8(Cp932ToUtf16(placeLabel)) : std::string()) << "\n"
      << "Data Size: " << series.size << "\n"
      << "Number of Cycles: " << cycles << "\n";
  if (log.IsOpen()) {
    for (int k = 0; k < kDigitValues; ++k) {
      log << "Digit " << k << " counts: ";
      for (std::uint32_t j = 0; j < cycles; ++j) {
        log << counts[static_cast<std::size_t>(k) * cycles + j] << " ";
      }
      log << "\n";
    }
  }

  // The ten per-digit spectra, released with their arrays on every way out.
  std::array<OwnedSpectrum, kDigitValues> spectra;
  for (int k = 0; k < kDigitValues; ++k) {
    log << "Processing digit " << k << "\n";
    OwnedSeries digitSeries =
        MakeDigitSeries(counts.data() + static_cast<std::size_t>(k) * cycles, cycles);
    const std::string name = "Digit " + std::to_string(k) + " Count";
    if (spectrumStep(spectra[static_cast<std::size_t>(k)].get(), digitSeries.get(), cycles, name) !=
        0) {
      log << "Error in ProcessSingleDigit for digit " << k << "\n";
      return {};
    }
  }

  DigitRanking result;
  for (int k = 0; k < kDigitValues; ++k) {
    const SpectrumRecord& spectrum = spectra[static_cast<std::size_t>(k)].get();
    std::vector<double> power(spectrum.count);
    if (!GetPowerSpectrum(spectrum, power.data())) {
      log << "Error in GetPowerSpectrum for digit " << k << "\n";
      return {};
    }
    // Every bin counts, the constant term and the mirrored half included.
    double peak = power.front();
    for (const double value : power) {
      if (value > peak) {
        peak = value;
      }
    }
    result.scores[static_cast<std::size_t>(k)] = peak;
    log << "Power Spectrum for digit " << k << ": " << peak << "\n";
    if (keepSpectra) {
      result.spectra[static_cast<std::size_t>(k)] = std::move(power);
    }
  }

  result.ranking = RankByScore(result.scores);
  result.ok = true;
  return result;
}

}  // namespace tolvane
