#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/wa_data.h"
#include "spectral/spectrum_record.h"

namespace tolvane::testing {

// A series that frees whatever array it holds at the end, as its owners do.
struct OwnedSeries {
  WAData series{};
  explicit OwnedSeries(const std::vector<double>& values, std::uint32_t rate = 1);
  ~OwnedSeries() { ReleaseSeries(series); }
  OwnedSeries(const OwnedSeries&) = delete;
  OwnedSeries& operator=(const OwnedSeries&) = delete;
  std::vector<double> Values() const;
};

struct OwnedRecord {
  SpectrumRecord record{};
  OwnedRecord() = default;
  ~OwnedRecord() { ReleaseSpectrumRecord(record); }
  OwnedRecord(const OwnedRecord&) = delete;
  OwnedRecord& operator=(const OwnedRecord&) = delete;
  std::vector<double> Power() const;
};

// Deterministic values in [-1, 1), different for every index.
std::vector<double> TestSignal(std::size_t n, std::uint32_t seed = 1);

// Every test starts and must end with the engine released and no allocation failure armed, so
// that one test's leftovers cannot make another pass or fail.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A log path in a directory of this test; the file is not created.
  std::string LogPath() const { return (dir_ / "trace.log").string(); }
  std::string ReadLog() const;

 private:
  std::filesystem::path dir_;
};

}  // namespace tolvane::testing
