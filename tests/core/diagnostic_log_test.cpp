#include "core/diagnostic_log.h"

#include <gtest/gtest.h>

#include <filesystem>

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
