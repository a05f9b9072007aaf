// Arbitrary series through both single-series operations of the spectral engine: any values
// (NaN and infinities included), any length up to 4,096, any frame and filter code. Nothing may
// crash, leak or read out of bounds; the engine must be released again after every call, and a
// successful call must leave a readable spectrum.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/wa_data.h"
#include "spectral/engine_status.h"
#include "spectral/single_digit.h"
#include "spectral/slot_table.h"
#include "spectral/spectrum_record.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// Reads the fuzzer's bytes front to back; missing bytes read as zero.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Take() {
    T value{};
    const std::size_t n = std::min(sizeof(T), size_ - pos_);
    std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  std::size_t Left() const { return size_ - pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint32_t kMaxLength = 4096;
  Input input(data, size);
  const auto mode = input.Take<std::uint8_t>();
  const std::uint32_t length = input.Take<std::uint16_t>() % (kMaxLength + 1);
  // Mostly the defined codes, sometimes anything.
  const auto frameByte = input.Take<std::uint8_t>();
  const std::int32_t fftFlag =
      frameByte < 200 ? static_cast<std::int32_t>(frameByte % 5) - 1 : input.Take<std::int32_t>();
  const auto filterByte = input.Take<std::uint8_t>();
  const std::int32_t iFType =
      filterByte < 200 ? static_cast<std::int32_t>(filterByte % 4) : input.Take<std::int32_t>();

  // The series holds the values that follow, at most 4,096 of them; a shorter series than
  // `length` must be refused, not read past.
  std::vector<double> values;
  while (input.Left() >= sizeof(double) && values.size() < kMaxLength) {
    values.push_back(input.Take<double>());
  }
  const auto count = static_cast<std::uint32_t>(values.size());
  tolvane::OwnedSeries series(tolvane::WAData{count == 0 ? nullptr : new double[count], count,
                                              static_cast<std::uint32_t>(mode >> 2) % 3});
  if (count != 0) {
    std::memcpy(series->data, values.data(), count * sizeof(double));
  }

  tolvane::OwnedSpectrum record;
  const std::string name = "Digit 0 Count";
  const std::int32_t status =
      (mode & 1) == 0 ? tolvane::ProcessSingleDigit(record.get(), series.get(), length, name, "")
                      : tolvane::ProcessSingleDigit(record.get(), series.get(), length, fftFlag,
                                                    iFType, name, "");
  Check(tolvane::EngineUseCount() == 0);
  if (status == tolvane::StatusOk) {
    Check(record->count == tolvane::FrameLength(length) && record->flags != 0);
    std::vector<double> power(record->count);
    Check(tolvane::GetPowerSpectrum(record.get(), power.data()));
  }
  // The series keeps a usable shape: its values stay readable whatever the call did.
  Check(series->size == 0 || series->data != nullptr);
  return 0;
}
