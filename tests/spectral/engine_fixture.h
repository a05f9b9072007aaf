#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/wa_data.h"
#include "spectral/spectrum_record.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {

// A series owning a copy of `values`.
OwnedSeries NewSeries(const std::vector<double>& values, std::uint32_t rate = 1);
// The values a series holds now; none when it has no array.
std::vector<double> Values(const WAData& series);
// A record's power array; none when it has none.
std::vector<double> Power(const SpectrumRecord& record);

// Deterministic values in [-1, 1), different for every index.
std::vector<double> TestSignal(std::size_t n, std::uint32_t seed = 1);

// The base of every engine test: each starts and must end with the engine released and no
// allocation failure armed, so that one test's leftovers cannot make another pass or fail.
class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A log path in a directory of this test; the file is not created.
  std::string LogPath() const { return dir_.File("trace.log"); }
  std::string ReadLog() const { return ReadBytes(LogPath()); }

 private:
  TempDir dir_;
};

}  // namespace tolvane::test
