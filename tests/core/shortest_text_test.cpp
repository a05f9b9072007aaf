// The printf-based texts against std::to_chars, which the native build writes with: the browser
// build's numbers must come out byte for byte the same.
#include "core/shortest_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tolvane::test {
namespace {

TEST(PortableNumberText, AsToCharsOnEdgesAndRandomDoubles) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                -1.0,
                                0.1,
                                0.5,
                                1e-5,
                                1.5e-4,
                                123456.0,
                                1e15,
                                1e16,
                                1.2345e17,
                                1e22,
                                1e23,
                                5e-324,
                                1.7976931348623157e308,
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                0.3,
                                2.0 / 3.0,
                                100.0,
                                1234567.0,
                                0.001,
                                9.5,
                                99.99999999999999};
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(std::bit_cast<double>(random()));
    values.push_back(static_cast<double>(random() % 100000) / 1000.0);  // rates as the tables hold
  }
  int mismatches = 0;
  for (const double value : values) {
    std::array<char, 48> text{};
    const auto shortest = std::to_chars(text.data(), text.data() + text.size(), value);
    const std::string expected =
        std::isnan(value) ? PortableShortestText(value) : std::string(text.data(), shortest.ptr);
    for (const int precision : {3, 6}) {
      const auto general = std::to_chars(text.data(), text.data() + text.size(), value,
                                         std::chars_format::general, precision);
      if (GeneralText(value, precision) != std::string(text.data(), general.ptr) &&
          ++mismatches <= 5) {
        ADD_FAILURE() << "general " << precision << ": " << std::string(text.data(), general.ptr);
      }
    }
    if (PortableShortestText(value) != expected && ++mismatches <= 5) {
      ADD_FAILURE() << expected << " written as " << PortableShortestText(value);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace tolvane::test
