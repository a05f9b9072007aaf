// Worker threads transform and allocate at once (the walk-forward evaluation does); the results
// must be those of one thread, and the allocation test hook must count every attempt once.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <latch>
#include <thread>
#include <vector>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

// The engine must be released and no allocation failure armed after each test.
class ConcurrencyTest : public EngineFixture {};

constexpr std::size_t kThreads = 4;

struct Result {
  std::vector<double> re;
  std::vector<double> im;
  std::int32_t status = -1;
};

Result Transform(const std::vector<double>& src, std::int32_t flag) {
  const auto n = static_cast<std::uint32_t>(src.size());
  Result result{std::vector<double>(n), std::vector<double>(n)};
  result.status = ComputeFft(src.data(), result.re.data(), result.im.data(), n, flag);
  return result;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](double x, double y) {
    return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
  });
}

// The threads start together on lengths whose tables may not exist yet, each in its own order,
// so that first builds of one length race each other and reads of others.
TEST_F(ConcurrencyTest, TransformsFromSeveralThreadsMatchOneThread) {
  const std::vector<std::uint32_t> lengths = {1, 2, 8, 16, 32, 256, 2048, 8192, 32768};
  constexpr std::size_t kRounds = 3;
  std::vector<std::vector<double>> inputs;
  inputs.reserve(lengths.size());
  for (const std::uint32_t n : lengths) {
    inputs.push_back(TestSignal(n, n));
  }
  // results[thread][round][length][flag]
  std::vector<std::vector<std::vector<Result>>> results(kThreads,
                                                        std::vector<std::vector<Result>>(kRounds));
  std::latch start(kThreads);
  std::vector<std::thread> workers;
  for (std::size_t t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      start.arrive_and_wait();
      for (std::size_t round = 0; round < kRounds; ++round) {
        std::vector<Result>& mine = results[t][round];
        mine.resize(2 * lengths.size());
        for (std::size_t i = 0; i < lengths.size(); ++i) {
          const std::size_t which = (i + t * 2) % lengths.size();
          for (const std::int32_t flag : {0, 1}) {
            mine[2 * which + static_cast<std::size_t>(flag)] = Transform(inputs[which], flag);
          }
        }
      }
    });
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    for (const std::int32_t flag : {0, 1}) {
      const Result want = Transform(inputs[i], flag);
      ASSERT_EQ(want.status, StatusOk);
      for (std::size_t t = 0; t < kThreads; ++t) {
        for (std::size_t round = 0; round < kRounds; ++round) {
          const Result& got = results[t][round][2 * i + static_cast<std::size_t>(flag)];
          EXPECT_EQ(got.status, StatusOk);
          EXPECT_TRUE(SameBits(got.re, want.re) && SameBits(got.im, want.im))
              << "n = " << lengths[i] << ", flag " << flag << ", thread " << t << ", round "
              << round;
        }
      }
    }
  }
}

// An armed failure falls on exactly one of many attempts made at once, and every attempt counts.
TEST_F(ConcurrencyTest, AllocationHookCountsConcurrentAttemptsOnce) {
  constexpr std::uint64_t kPerThread = 2000;
  const std::uint64_t before = detail::AllocationCount();
  detail::FailNthAllocation(kThreads * kPerThread / 2);
  std::vector<std::uint64_t> failures(kThreads, 0);
  std::latch start(kThreads);
  std::vector<std::thread> workers;
  for (std::size_t t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      start.arrive_and_wait();
      for (std::uint64_t i = 0; i < kPerThread; ++i) {
        const detail::DoubleArray array = detail::MakeDoubles(1);
        failures[t] += array ? 0 : 1;
      }
    });
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  std::uint64_t total = 0;
  for (const std::uint64_t count : failures) {
    total += count;
  }
  EXPECT_EQ(total, 1U);
  EXPECT_FALSE(detail::AllocationFailurePending());
  EXPECT_EQ(detail::AllocationCount() - before, kThreads * kPerThread);
}

}  // namespace
}  // namespace tolvane::test
