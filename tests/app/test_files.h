#pragma once

// Temporary folders, history files and log reading for the predictor, command and command-line
// tests.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tolvane::testing {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tolvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::istringstream in(ReadBytes(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// A history file in code page 932: a header line, then one draw line per winning number
// ("第N回,2020/1/2,X,NNN"), rounds counting up from 1.
inline std::string HistoryText(const std::vector<std::string>& numbers) {
  const std::string dai = "\x91\xe6";  // 第
  const std::string kai = "\x89\xf1";  // 回
  std::string text = "round,date,weekday,number\n";
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    text += dai;
    text += std::to_string(i + 1);
    text += kai;
    text += ",2020/1/2,X,";
    text += numbers[i];
    text += '\n';
  }
  return text;
}

// Every draw shows the same three digits: each place then ranks its own digit first and the
// other nine in ascending order, whatever the filter.
inline std::vector<std::string> SameDraws(const std::string& number, std::size_t count) {
  return std::vector<std::string>(count, number);
}

}  // namespace tolvane::testing
