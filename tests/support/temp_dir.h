#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::test {

// A fresh directory under the system's temporary folder, removed with everything in it when the
// object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the directory (the file is not created).
  std::string File(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Whole-file helpers for byte-exact fixtures; they throw std::runtime_error on failure.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
// The file's lines without their line feeds.
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace tolvane::test
