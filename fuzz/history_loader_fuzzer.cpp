// Arbitrary bytes as a history file, loaded with a log: nothing may crash, leak or read out of
// bounds, and the records must be either fully loaded or untouched.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "history/draw_history.h"

namespace {

class ScratchDir {
 public:
  ScratchDir() {
    // Every input goes through a file: memory-backed storage keeps that cheap.
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tolvane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::abort();
    }
    dir_ = pattern;
    history_ = (dir_ / "history.csv").string();
    log_ = (dir_ / "trace.log").string();
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& history() const { return history_; }
  const std::string& log() const { return log_; }

 private:
  std::filesystem::path dir_;
  std::string history_;
  std::string log_;
};

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchDir scratch;
  {
    std::ofstream out(scratch.history(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Traces pile up across inputs; starting afresh now and then keeps the file small.
  std::error_code ignored;
  if (std::filesystem::file_size(scratch.log(), ignored) > (std::uintmax_t{1} << 20)) {
    std::filesystem::remove(scratch.log(), ignored);
  }

  tolvane::DrawHistory history{};
  const std::int32_t result = tolvane::LoadDrawHistory(scratch.history(), history.hundreds,
                                                       history.tens, history.ones, scratch.log());
  if (result == tolvane::kLoadOk) {
    const std::uint32_t n = history.hundreds.size;
    Check(history.tens.size == n && history.ones.size == n);
    for (const tolvane::WAData* series : {&history.hundreds, &history.tens, &history.ones}) {
      Check(series->rate == 1 && series->data != nullptr);
      for (std::uint32_t i = 0; i < n; ++i) {
        Check(series->data[i] >= 0.0 && series->data[i] <= 9.0);
      }
    }
  } else {
    Check(result == tolvane::kLoadFailed);
    for (const tolvane::WAData* series : {&history.hundreds, &history.tens, &history.ones}) {
      Check(series->data == nullptr && series->size == 0 && series->rate == 0);
    }
  }
  tolvane::ReleaseDrawHistory(history);
  return 0;
}
