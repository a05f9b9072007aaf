#include "spectral/single_digit.h"

#include <algorithm>
#include <cstddef>

#include "core/diagnostic_log.h"
#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "spectral/fir_filter.h"
#include "spectral/slot_table.h"

namespace tolvane {
namespace {

// The arrays one call works in; all of them go when the call returns.
struct WorkArrays {
  std::uint32_t nLen2 = 0;
  std::uint32_t size = 0;    // the series' size when the copy was made
  detail::DoubleArray real;  // transform results, later handed to SetSpectrum
  detail::DoubleArray imag;
  detail::DoubleArray values;  // the copy of the series that is logged and transformed
};

void LogValues(DiagnosticLog& log, const double* values, std::size_t count) {
  if (log.IsOpen()) {
    for (std::size_t i = 0; i < count; ++i) {
      log << values[i] << " ";
    }
  }
  log << "\n";
}

// Makes the work arrays, checks the series and copies it, logging as it goes.
std::int32_t PrepareWork(const WAData& series, std::uint32_t length, DiagnosticLog& log,
                         WorkArrays& work) {
  work.nLen2 = FrameLength(length);
  work.real = detail::MakeDoubles(work.nLen2, true);
  work.imag = work.real ? detail::MakeDoubles(work.nLen2, true) : nullptr;
  if (work.imag) {
    work.size = series.size;
    work.values = detail::MakeDoubles(work.size);
  }
  // Without the copy there is nothing to transform; it is a work array like the other two.
  if (!work.values) {
    log << "Memory allocation failed for FFT work arrays\n";
    return StatusNoMemory;
  }
  if (!IsUsable(series)) {
    log << "Error getting WAData\n";
    return StatusInvalid;
  }
  std::copy(series.data, series.data + work.size, work.values.get());
  log << "Data size: " << work.size << ", nLen2: " << work.nLen2 << "\n";
  log << "Input data for FFT: ";
  LogValues(log, work.values.get(), work.size);
  return StatusOk;
}

std::int32_t StoreSpectrum(SpectrumRecord& record, const WorkArrays& work, DiagnosticLog& log) {
  log << "FFT processing succeeded\n";
  const std::int32_t status = SetSpectrum(record, work.real.get(), work.imag.get(), work.nLen2);
  if (status != StatusOk) {
    log << "SetSpectrum failed with error code: " << status << "\n";
  } else {
    log << "SetSpectrum succeeded\n";
  }
  return status;
}

// Designs the kernel of the given kind and runs the series through it; kinds other than
// low-pass and band-pass leave the series alone. A failure of either step is reported for both
// kinds, so that a result labelled filtered never comes from unfiltered values.
std::int32_t FilterSeries(FirFilter& filter, WAData& series, std::int32_t iFType) {
  if (iFType == kFilterLowPass) {
    // A failed design leaves the filter without a kernel, which ApplyFilter reports.
    DesignLowPass(filter);
    return ApplyFilter(filter, series);
  }
  if (iFType == kFilterBandPass) {
    if (const std::int32_t status = DesignBandPass(filter); status != StatusOk) {
      return status;
    }
    return ApplyFilter(filter, series);
  }
  return StatusOk;
}

}  // namespace

std::uint32_t FrameLength(std::uint32_t length) {
  // 64 bits, so that doubling past the largest 32-bit power of two cannot wrap around.
  std::uint64_t n = 1;
  if (length >= 2) {
    while (n * 2 <= length) {
      n *= 2;
    }
  }
  return static_cast<std::uint32_t>(n);
}

std::int32_t ProcessSingleDigit(SpectrumRecord& record, const WAData& series, std::uint32_t length,
                                const std::string& name, const std::string& logPath) {
  // A length beyond the series would make the transform read past its values.
  if (length > series.size) {
    return StatusInvalid;
  }
  DiagnosticLog log(logPath);
  ReleaseSpectrumRecord(record);
  record.count = 0;
  record.flags = 0;
  log << "ProcessSingleDigit called for " << name << "\n";

  WorkArrays work;
  std::int32_t status = PrepareWork(series, length, log, work);
  if (status != StatusOk) {
    return status;
  }
  status = ComputeFft(work.values.get(), work.real.get(), work.imag.get(), work.nLen2, 0);
  if (status != StatusOk) {
    log << "FFT processing failed with error code: " << status << "\n";
    return status;
  }
  return StoreSpectrum(record, work, log);
}

std::int32_t ProcessSingleDigit(SpectrumRecord& record, WAData& series, std::uint32_t length,
                                std::int32_t fftFlag, std::int32_t iFType, const std::string& name,
                                const std::string& logPath) {
  if (length > series.size) {
    return StatusInvalid;
  }
  DiagnosticLog log(logPath);
  log << "ProcessSingleDigit called for " << name << "\n";
  log << "fftFlag: " << fftFlag << ", iFType: " << iFType << "\n";

  WorkArrays work;
  std::int32_t status = PrepareWork(series, length, log, work);
  if (status != StatusOk) {
    return status;
  }

  // Declared in this order so that the filter's slot goes before the engine is released.
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  status = FilterSeries(filter, series, iFType);
  if (status != StatusOk) {
    log << "Filtering failed with error code: " << status << "\n";
    return status;
  }
  if (IsUsable(series)) {
    const std::size_t filtered = std::min(series.size, work.size);
    std::copy(series.data, series.data + filtered, work.values.get());
  }
  log << "Filtered data: ";
  LogValues(log, work.values.get(), work.size);

  const double* values = work.values.get();
  const std::uint32_t nLen2 = work.nLen2;
  // A length of 0 still transforms one value (nLen2 is 1); it has no tail or centre to pick.
  if (length <= nLen2) {
    status = ComputeFft(values, work.real.get(), work.imag.get(), nLen2, 0);
  } else if (fftFlag == kFrameHead || fftFlag == kFrameTail || fftFlag == kFrameCenter) {
    std::uint32_t start = 0;
    if (fftFlag == kFrameTail) {
      start = length - nLen2;
    } else if (fftFlag == kFrameCenter) {
      start = (length - nLen2) / 2;
    }
    status = ComputeFft(values + start, work.real.get(), work.imag.get(), nLen2, 0);
  } else if (fftFlag == kFrameHeadTail) {
    status = ComputeHeadTailSpectrum(values, work.real.get(), work.imag.get(), length, nLen2);
  } else {
    log << "Undefined FFT processing flag\n";
    return StatusInvalid;
  }
  if (status != StatusOk) {
    log << "FFT processing failed with error code: " << status << "\n";
    return status;
  }
  return StoreSpectrum(record, work, log);
}

}  // namespace tolvane
