// Every kind of destination a user may name, and a write cut short by each signal that ends a
// process: the destination is what install(1) and mv(1) users expect, and no new file is left.
#include "core/replace_file.h"

#include "core/file_copy.h"
#include "core/locked_update.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

struct DestinationCase {
  const char* name;
  // Makes the destination in `dir` and returns the path to give; empty to skip the case here.
  std::function<std::string(const TempDir& dir)> make;
  std::string error;  // empty: written
  // After a success: checks what was written where.
  std::function<void(const TempDir& dir, const std::string& path)> check;
};

TEST(ReplaceFile, EveryKindOfDestination) {
  const std::string bytes = "new contents\n";
  const auto fileHoldsBytes = [&bytes](const std::string& file) {
    EXPECT_TRUE(S_ISREG(ModeOf(file)));
    EXPECT_EQ(ReadBytes(file), bytes);
  };
  int fifoEnd = -1;  // the test's own end of the FIFO with a reader
  const std::vector<DestinationCase> cases = {
      {"a regular file keeps its permission bits",
       [](const TempDir& dir) {
         WriteBytes(dir.File("dest.csv"), "old");
         ::chmod(dir.File("dest.csv").c_str(), 0640);
         return dir.File("dest.csv");
       },
       "",
       [&](const TempDir&, const std::string& path) {
         fileHoldsBytes(path);
         EXPECT_EQ(ModeOf(path) & 07777, 0640U);
       }},
      {"a write-protected file is refused, as rm asks first",
       [](const TempDir& dir) {
         WriteBytes(dir.File("dest.csv"), "old");
         ::chmod(dir.File("dest.csv").c_str(), 0444);
         return dir.File("dest.csv");
       },
       "is write-protected; make it writable first (chmod u+w) to rewrite it",
       {}},
      {"extended attributes are kept",
       [](const TempDir& dir) {
         WriteBytes(dir.File("dest.csv"), "old");
         const bool held =
             ::setxattr(dir.File("dest.csv").c_str(), "user.origin", "shop", 4, 0) == 0;
         return held ? dir.File("dest.csv") : std::string();  // a file system without them
       },
       "",
       [&](const TempDir&, const std::string& path) {
         fileHoldsBytes(path);
         std::string value(8, '\0');
         const ssize_t n = ::getxattr(path.c_str(), "user.origin", value.data(), value.size());
         EXPECT_EQ(value.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), "shop");
       }},
      {"a new file", [](const TempDir& dir) { return dir.File("new.csv"); }, "",
       [&](const TempDir&, const std::string& path) { fileHoldsBytes(path); }},
      {"a name near the file-name limit",
       [](const TempDir& dir) { return dir.File(std::string(250, 'n')); }, "",
       [&](const TempDir&, const std::string& path) { fileHoldsBytes(path); }},
      {"a symbolic link: its target is replaced, the link stays",
       [](const TempDir& dir) {
         WriteBytes(dir.File("target.csv"), "old");
         std::filesystem::create_directory(dir.File("sub"));
         ::symlink("../target.csv", dir.File("sub/link.csv").c_str());
         ::symlink("sub/link.csv", dir.File("chain.csv").c_str());
         return dir.File("chain.csv");
       },
       "",
       [&](const TempDir& dir, const std::string& path) {
         EXPECT_TRUE(S_ISLNK(ModeOf(path)));
         EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("sub/link.csv"))));
         fileHoldsBytes(dir.File("target.csv"));
       }},
      {"a dangling symbolic link: the file it names is made",
       [](const TempDir& dir) {
         ::symlink("made.csv", dir.File("dangling.csv").c_str());
         return dir.File("dangling.csv");
       },
       "",
       [&](const TempDir& dir, const std::string& path) {
         EXPECT_TRUE(S_ISLNK(ModeOf(path)));
         fileHoldsBytes(dir.File("made.csv"));
       }},
      {"a FIFO with a reader is written through, not replaced",
       [&fifoEnd](const TempDir& dir) {
         ::mkfifo(dir.File("fifo").c_str(), 0600);
         // Open for reading and writing, so it has a reader and never waits.
         fifoEnd = ::open(dir.File("fifo").c_str(), O_RDWR | O_NONBLOCK);
         return dir.File("fifo");
       },
       "",
       [&](const TempDir&, const std::string& path) {
         EXPECT_TRUE(S_ISFIFO(ModeOf(path)));
         std::string got(64, '\0');
         const ssize_t n = ::read(fifoEnd, got.data(), got.size());
         got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
         EXPECT_EQ(got, bytes);
         ::close(fifoEnd);
       }},
      {"a FIFO without a reader fails at once",
       [](const TempDir& dir) {
         ::mkfifo(dir.File("fifo").c_str(), 0600);
         return dir.File("fifo");
       },
       "is a FIFO with no reader",
       {}},
      {"a character device is written in place",
       [](const TempDir&) { return std::string("/dev/null"); }, "",
       [](const TempDir&, const std::string& path) { EXPECT_TRUE(S_ISCHR(ModeOf(path))); }},
      {"a directory is refused",
       [](const TempDir& dir) {
         std::filesystem::create_directory(dir.File("folder"));
         return dir.File("folder");
       },
       "is a directory",
       {}},
      {"a socket is refused",
       [](const TempDir& dir) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         std::string path = dir.File("socket");
         if (path.size() >= sizeof address.sun_path) {
           return std::string();
         }
         for (std::size_t i = 0; i < path.size(); ++i) {
           address.sun_path[i] = path[i];
         }
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
         ::close(fd);
         return bound == 0 ? path : std::string();
       },
       "is a socket, not a file",
       {}},
      {"a folder that cannot be written to",
       [](const TempDir& dir) {
         if (::geteuid() == 0) {
           return std::string();  // permissions do not bind root
         }
         std::filesystem::create_directory(dir.File("locked"));
         WriteBytes(dir.File("locked/dest.csv"), "old");
         ::chmod(dir.File("locked").c_str(), 0555);
         return dir.File("locked/dest.csv");
       },
       "cannot create a file in its folder: Permission denied",
       {}},
  };
  for (const DestinationCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir;
    const std::string path = c.make(dir);
    if (path.empty()) {
      continue;
    }
    const std::vector<std::string> before = Names(dir);
    const std::string old = S_ISREG(ModeOf(path)) ? ReadBytes(path) : "";
    std::string error;
    EXPECT_EQ(ReplaceFileContents(path, bytes, error), c.error.empty());
    EXPECT_EQ(error, c.error);
    if (c.error.empty()) {
      c.check(dir, path);
    } else {
      EXPECT_EQ(Names(dir), before);  // nothing new, nothing replaced
      if (S_ISREG(ModeOf(path))) {
        EXPECT_EQ(ReadBytes(path), old);
      }
    }
    ::chmod(dir.File("locked").c_str(), 0755);
  }
}

// A rewrite from the file's own contents writes only over the file it read: a file swapped in
// (or changed) between the read and the rename is read again once, then refused. An append
// judges the very bytes it puts in place.
TEST(UpdateFileLocked, WritesOnlyOverTheFileItRead) {
  struct SwapCase {
    const char* name;
    int swaps;  // how many times the file is replaced just before the rename
    UpdateOutcome outcome;
    std::string after;  // the file's bytes afterwards
    int reads;
  };
  const std::vector<SwapCase> cases = {
      {"unchanged", 0, UpdateOutcome::kWritten, "old+", 1},
      {"swapped once: read again", 1, UpdateOutcome::kWritten, "swapped1+", 2},
      {"swapped every time: refused", 2, UpdateOutcome::kFailed, "swapped2", 2},
  };
  for (const bool append : {false, true}) {
    for (const SwapCase& c : cases) {
      SCOPED_TRACE(std::string(append ? "append, " : "rewrite, ") + c.name);
      const TempDir dir;
      const std::string path = dir.File("history.csv");
      WriteBytes(path, "old");
      int reads = 0;
      int swaps = 0;
      std::string read;
      std::string error;
      const auto swap = [&] {
        if (swaps < c.swaps) {
          // As a download would: a new file renamed over the old one.
          WriteBytes(dir.File("download"), "swapped" + std::to_string(++swaps));
          std::filesystem::rename(dir.File("download"), path);
        }
      };
      const UpdateOutcome outcome =
          append ? AppendFileLocked(
                       path,
                       [&](std::string_view bytes, std::string& added) {
                         ++reads;
                         EXPECT_EQ(bytes, ReadBytes(path));
                         added = "+";
                         return true;
                       },
                       error, {}, swap)
                 : UpdateFileLocked(
                       path,
                       [&](ByteProducer& produce) {
                         ++reads;
                         read = ReadBytes(path);
                         produce = [&read](const ByteSink& sink, std::string&) {
                           return sink(read + "+");
                         };
                         return true;
                       },
                       error, {}, swap);
      EXPECT_EQ(outcome, c.outcome) << error;
      EXPECT_EQ(ReadBytes(path), c.after);
      EXPECT_EQ(reads, c.reads);
      EXPECT_EQ(Names(dir), std::vector<std::string>{"history.csv"});
    }
  }
  // A lock held elsewhere is waited for, then the writer gives up and says so.
  const TempDir dir;
  WriteLock held;
  std::string error;
  ASSERT_TRUE(held.Acquire(dir.File("a.csv"), error));
  WriteLock second;
  std::string notice;
  EXPECT_FALSE(second.Acquire(
      dir.File("b.csv"), error, [&notice](const std::string& text) { notice = text; },
      std::chrono::milliseconds(1000)));
  EXPECT_EQ(notice,
            "waiting up to 1 s for another program writing in the folder of " + dir.File("b.csv"));
  EXPECT_EQ(error,
            "another program is still writing in its folder after 1 s; try again when it is done");
}

// An append that stops, or cannot start, leaves the file as it was and nothing beside it.
TEST(AppendFileLocked, StopsWithTheFileAsItWas) {
  struct StopCase {
    const char* name;
    bool fifo;    // the file is a FIFO rather than a history
    bool refuse;  // the attempt refuses the bytes
    std::string added;
    UpdateOutcome outcome;
    std::string error;
  };
  const std::vector<StopCase> cases = {
      {"refused by the attempt", false, true, "+", UpdateOutcome::kRefusedByAttempt, ""},
      {"nothing to add", false, false, "", UpdateOutcome::kNothingToWrite, ""},
      {"a FIFO: refused at once", true, false, "+", UpdateOutcome::kFailed,
       "is not a regular file"},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir;
    const std::string path = dir.File("history.csv");
    if (c.fifo) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    } else {
      WriteBytes(path, "old");
    }
    const std::optional<FileStamp> before = StampOf(path);
    std::string error;
    const UpdateOutcome outcome = AppendFileLocked(
        path,
        [&](std::string_view, std::string& added) {
          added = c.added;
          return !c.refuse;
        },
        error);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(StampOf(path) == before);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"history.csv"});
  }
  // Where the kernel cannot copy (from a pipe), the bytes are read and written.
  const TempDir dir;
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "piped bytes", 11), 11);
  ::close(ends[1]);
  const int copy = ::open(dir.File("copy").c_str(), O_RDWR | O_CREAT, 0644);
  const ByteSink sink = [copy](std::string_view piece) {
    return ::write(copy, piece.data(), piece.size()) == static_cast<ssize_t>(piece.size());
  };
  EXPECT_EQ(CopyFileBytes(ends[0], copy, sink), 11);
  FileBytes bytes;
  ASSERT_TRUE(bytes.Read(copy, 11));
  EXPECT_EQ(bytes.View(), "piped bytes");
  ::close(ends[0]);
  ::close(copy);
}

// A write cut short by a signal that ends the process: DEST as it was, no new file beside it.
TEST(ReplaceFileDeathTest, EndingSignalsMidWriteLeaveNoNewFile) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    const TempDir dir;
    const std::string dest = dir.File("dest.csv");
    WriteBytes(dest, "what was there");
    const auto cutShort = [&dest, signal] {
      std::string error;
      ReplaceFile(
          dest,
          [signal](const ByteSink& sink, std::string&) {
            sink("half of the new ");
            ::raise(signal);
            return sink("file");
          },
          error);
    };
    EXPECT_EXIT(cutShort(), ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"dest.csv"});
    EXPECT_EQ(ReadBytes(dest), "what was there");
  }
}

}  // namespace
}  // namespace tolvane::test
