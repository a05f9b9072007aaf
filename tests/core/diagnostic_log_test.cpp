#include "core/diagnostic_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

TEST(DiagnosticLog, AppendsToWhatIsThere) {
  const TempDir dir;
  const std::string path = dir.File("trace.log");
  WriteBytes(path, "first run\n");
  {
    DiagnosticLog log(path);
    ASSERT_TRUE(log.IsOpen());
    log.WriteLine("second run");
    log << 1.0 / 3.0 << ' ' << 1234567.0 << ' ' << 42 << '\n';
  }
  EXPECT_EQ(ReadBytes(path), "first run\nsecond run\n0.333333 1.23457e+06 42\n");
}

// Numbers are formatted without a stream; they must read exactly as a default stream writes them.
TEST(DiagnosticLog, NumbersReadAsADefaultStreamWritesThem) {
  const TempDir dir;
  const std::string path = dir.File("trace.log");
  const std::vector<double> doubles = {0.0,
                                       -0.0,
                                       1.0,
                                       -2.5,
                                       0.1,
                                       1.0 / 3.0,
                                       123456.0,
                                       1234567.0,
                                       999999.5,
                                       1e-5,
                                       0.0001,
                                       1e300,
                                       -1e-300,
                                       4.9e-324,
                                       2.0 / 3e7,
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN(),
                                       -std::numeric_limits<double>::quiet_NaN()};
  std::ostringstream expected;
  expected.imbue(std::locale::classic());
  {
    DiagnosticLog log(path);
    for (const double value : doubles) {
      log << value << ' ' << static_cast<float>(value) << '\n';
      expected << value << ' ' << static_cast<float>(value) << '\n';
    }
    log << std::int32_t{-2147483647 - 1} << ' ' << std::uint32_t{4294967295U} << ' '
        << std::int64_t{-9223372036854775807 - 1} << ' ' << std::size_t{18446744073709551615U}
        << ' ' << true << ' ' << 'x' << ' ' << std::string("text") << '\n';
    expected << std::int32_t{-2147483647 - 1} << ' ' << std::uint32_t{4294967295U} << ' '
             << std::int64_t{-9223372036854775807 - 1} << ' ' << std::size_t{18446744073709551615U}
             << ' ' << true << ' ' << 'x' << ' ' << std::string("text") << '\n';
  }
  EXPECT_EQ(ReadBytes(path), expected.str());
}

// An engine's value line outgrows the held text's write-out size long before it ends: the file
// must never receive part of it, and then all of it at once.
TEST(DiagnosticLog, ALineLongerThanTheBufferReachesTheFileWhole) {
  const TempDir dir;
  const std::string path = dir.File("trace.log");
  std::string line;
  DiagnosticLog log(path);
  log << "first\n";
  for (int i = 0; i < 30000; ++i) {  // about 200 KB
    log << i * 0.5 << ' ';
    line += std::to_string(i / 2) + (i % 2 == 0 ? " " : ".5 ");
  }
  EXPECT_EQ(ReadBytes(path), "first\n");  // the held text passed 64 KiB: only the whole line
  log << '\n';
  EXPECT_EQ(ReadBytes(path), "first\n" + line + "\n");
}

// A caller keeps its log open while a callee writes through its own: the lines must still be
// in the order they were written, whichever spelling of the path each one used.
TEST(DiagnosticLog, WritersOfOneFileKeepTheirOrder) {
  const TempDir dir;
  const std::string path = dir.File("trace.log");
  {
    DiagnosticLog outer(path);
    outer << "outer 1\n";  // not flushed
    {
      DiagnosticLog inner((dir.path() / "." / "trace.log").string());
      inner << "inner 1\n";
      DiagnosticLog loader(path);
      loader.WriteLine("loader 1");
      EXPECT_EQ(ReadBytes(path), "outer 1\ninner 1\nloader 1\n");  // flushed at once
      inner << "inner 2\n";
    }
    outer << "outer 2\n";
  }
  EXPECT_EQ(ReadBytes(path), "outer 1\ninner 1\nloader 1\ninner 2\nouter 2\n");
}

TEST(DiagnosticLog, FileIsClosedWhenTheLastWriterGoes) {
  const TempDir dir;
  const std::string path = dir.File("trace.log");
  {
    DiagnosticLog first(path);
    DiagnosticLog second(path);
    first << "a\n";
    first.Close();
    first << "ignored\n";
    second << "b\n";
  }
  EXPECT_EQ(ReadBytes(path), "a\nb\n");
  // A later writer must open the file anew, not reuse a stream on the removed one.
  std::filesystem::remove(path);
  {
    DiagnosticLog later(path);
    later << "c\n";
  }
  EXPECT_EQ(ReadBytes(path), "c\n");
}

TEST(DiagnosticLog, UnusablePathsWriteNothing) {
  const TempDir dir;
  const std::string truncated = dir.File("log");
  for (const std::string& path : {std::string(), dir.path().string(), dir.File("missing/trace.log"),
                                  truncated + '\0' + "x"}) {
    DiagnosticLog log(path);
    EXPECT_FALSE(log.IsOpen());
    log.WriteLine("nothing");
    log << "nothing" << 1;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace tolvane::test
