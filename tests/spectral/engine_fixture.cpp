#include "tests/spectral/engine_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "spectral/detail/allocation.h"
#include "spectral/slot_table.h"

namespace tolvane::testing {

OwnedSeries::OwnedSeries(const std::vector<double>& values, std::uint32_t rate) {
  series.data = new double[values.size()];
  std::copy(values.begin(), values.end(), series.data);
  series.size = static_cast<std::uint32_t>(values.size());
  series.rate = rate;
}

std::vector<double> OwnedSeries::Values() const {
  if (series.data == nullptr) {
    return {};
  }
  return {series.data, series.data + series.size};
}

std::vector<double> OwnedRecord::Power() const {
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

void EngineTest::SetUp() {
  ASSERT_EQ(EngineUseCount(), 0U);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  // Parameterised names contain '/', and two builds may run the same test at once.
  std::string name =
      std::string(info->test_suite_name()) + "-" + info->name() + "-" + std::to_string(getpid());
  std::replace(name.begin(), name.end(), '/', '_');
  dir_ = std::filesystem::temp_directory_path() / ("tolvane-spectral-" + name);
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

void EngineTest::TearDown() {
  detail::FailNthAllocation(0);
  EXPECT_EQ(EngineUseCount(), 0U) << "the test left the engine acquired";
  while (EngineUseCount() != 0) {
    ReleaseEngine();
  }
  std::filesystem::remove_all(dir_);
}

std::string EngineTest::ReadLog() const {
  std::ifstream in(LogPath(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tolvane::testing
