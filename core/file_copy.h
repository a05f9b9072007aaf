#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <thread>

#include "core/replace_file.h"

namespace tolvane {

// Copies the rest of the file open as `source` to `destination`, each from its own offset: inside
// the kernel where the file systems allow it (copy_file_range(2), as cp(1) copies); elsewhere the
// bytes are read and handed to `sink`, which writes them at the destination's offset. The bytes
// copied, or -1 (with errno set when a read failed; the sink keeps its own failure).
off_t CopyFileBytes(int source, int destination, const ByteSink& sink);

// Has the system write the file's pages to the disk meanwhile, on a thread of its own (handing
// them over takes a while), so that its fsync(2) later has little left to wait for. Nothing where
// the system has no such call; the thread is waited for when this ends.
class WriteBack {
 public:
  explicit WriteBack(int fd);
  ~WriteBack();
  WriteBack(const WriteBack&) = delete;
  WriteBack& operator=(const WriteBack&) = delete;

 private:
#if !defined(__EMSCRIPTEN__)
  std::thread thread_;
#endif
};

// The first bytes of a file open for reading, in memory without a copy where the system can map
// them (read into a buffer where it cannot). Only for a file no other program changes meanwhile,
// such as one this process has just made and not yet named: a mapped file cut short underneath
// would end the process.
class FileBytes {
 public:
  FileBytes() = default;
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // Reads the first `size` bytes of `fd`; false with errno set when they cannot be read.
  bool Read(int fd, std::size_t size);
  std::string_view View() const { return view_; }

 private:
  void* mapped_ = nullptr;
  std::size_t mappedSize_ = 0;
  std::string read_;
  std::string_view view_;
};

}  // namespace tolvane
