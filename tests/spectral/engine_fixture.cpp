#include "tests/spectral/engine_fixture.h"

#include <algorithm>

#include "spectral/detail/allocation.h"
#include "spectral/slot_table.h"

namespace tolvane::test {

OwnedSeries NewSeries(const std::vector<double>& values, std::uint32_t rate) {
  OwnedSeries series(
      WAData{new double[values.size()], static_cast<std::uint32_t>(values.size()), rate});
  std::copy(values.begin(), values.end(), series->data);
  return series;
}

std::vector<double> Values(const WAData& series) {
  if (series.data == nullptr) {
    return {};
  }
  return {series.data, series.data + series.size};
}

std::vector<double> Power(const SpectrumRecord& record) {
  if (record.power == nullptr) {
    return {};
  }
  return {record.power, record.power + record.count};
}

std::vector<double> TestSignal(std::size_t n, std::uint32_t seed) {
  std::vector<double> values(n);
  std::uint64_t state = 0x9E3779B97F4A7C15ULL * (seed + 1);
  for (double& value : values) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    value = static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0;  // 2^52
  }
  return values;
}

void EngineFixture::SetUp() { ASSERT_EQ(EngineUseCount(), 0U); }

void EngineFixture::TearDown() {
  detail::FailNthAllocation(0);
  EXPECT_EQ(EngineUseCount(), 0U) << "the test left the engine acquired";
  while (EngineUseCount() != 0) {
    ReleaseEngine();
  }
}

}  // namespace tolvane::test
