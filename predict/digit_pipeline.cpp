#include "predict/digit_pipeline.h"

#include <array>
#include <cstddef>
#include <vector>

#include "core/cp932.h"
#include "core/diagnostic_log.h"
#include "core/utf.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"

namespace tolvane {
namespace {

constexpr std::uint32_t kCycleLength = 15;
constexpr int kDigitValues = 10;

// The digit a drawn value counts for: its truncation toward zero, or -1 when that lies outside
// 0 to 9. The range is checked before converting, so NaN and huge values stay well defined.
int DigitOf(double value) {
  if (!(value > -1.0 && value < 10.0)) {
    return -1;
  }
  return static_cast<int>(value);
}

// A digit's count series. Owned, so the array it holds at the end is freed, which after
// filtering is the engine's replacement rather than the array built here.
OwnedSeries MakeDigitSeries(const std::int32_t* counts, std::uint32_t cycles) {
  OwnedSeries series(WAData{new double[cycles], cycles, 1});
  for (std::uint32_t j = 0; j < cycles; ++j) {
    series->data[j] = static_cast<double>(counts[j]);
  }
  return series;
}

// Row k holds digit k's count in each cycle; values past the last whole cycle take no part.
std::vector<std::int32_t> CountPerCycle(const WAData& series, std::uint32_t cycles) {
  std::vector<std::int32_t> table(static_cast<std::size_t>(kDigitValues) * cycles, 0);
  for (std::uint32_t j = 0; j < cycles; ++j) {
    const double* cycle = series.data + static_cast<std::size_t>(j) * kCycleLength;
    for (std::uint32_t i = 0; i < kCycleLength; ++i) {
      const int digit = DigitOf(cycle[i]);
      if (digit >= 0) {
        ++table[static_cast<std::size_t>(digit) * cycles + j];
      }
    }
  }
  return table;
}

// Highest score first; a digit moves ahead of another only on a strictly greater score, so equal
// scores keep ascending digit order (and any score, even NaN, gives a defined order).
std::array<int, kDigitValues> RankByScore(const std::array<double, kDigitValues>& scores) {
  std::array<int, kDigitValues> ranked{};
  for (int k = 0; k < kDigitValues; ++k) {
    int pos = k;
    while (pos > 0 && scores[static_cast<std::size_t>(k)] >
                          scores[static_cast<std::size_t>(ranked[pos - 1])]) {
      ranked[pos] = ranked[pos - 1];
      --pos;
    }
    ranked[pos] = k;
  }
  return ranked;
}

std::string RankingText(const std::array<int, kDigitValues>& ranked) {
  std::string text(kPowerSpectrumPrefix);
  for (int i = 0; i < kDigitValues; ++i) {
    if (i > 0) {
      text += ", ";
    }
    text += static_cast<char>('0' + ranked[static_cast<std::size_t>(i)]);
  }
  return text;
}

}  // namespace

std::string RunDigitPipeline(const WAData& series, std::string_view callerName,
                             const std::string& placeLabel, const std::string& logPath,
                             const DigitSpectrumStep& spectrumStep) {
  if (series.size == 0 || series.rate == 0 || series.data == nullptr) {
    return kPredictionError;
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
      return kPredictionError;
    }
  }

  std::array<double, kDigitValues> scores{};
  for (int k = 0; k < kDigitValues; ++k) {
    const SpectrumRecord& spectrum = spectra[static_cast<std::size_t>(k)].get();
    std::vector<double> power(spectrum.count);
    if (!GetPowerSpectrum(spectrum, power.data())) {
      log << "Error in GetPowerSpectrum for digit " << k << "\n";
      return kPredictionError;
    }
    // Every bin counts, the constant term and the mirrored half included.
    double peak = power.front();
    for (const double value : power) {
      if (value > peak) {
        peak = value;
      }
    }
    scores[static_cast<std::size_t>(k)] = peak;
    log << "Power Spectrum for digit " << k << ": " << peak << "\n";
  }

  return RankingText(RankByScore(scores));
}

}  // namespace tolvane
