#include "core/diagnostic_log.h"

#include <filesystem>
#include <fstream>
#include <locale>
#include <map>
#include <mutex>

#include "core/utf.h"

namespace tolvane {
namespace {

// Streams currently open, by file. An entry lives exactly as long as some writer holds it.
struct OpenLogs {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<std::ostream>> byFile;
};

OpenLogs& Registry() {
  static OpenLogs registry;
  return registry;
}

// Spellings of one file ("a.log", "./a.log", through a symbolic link) must find the same stream,
// or their lines would interleave by buffer flushes instead of by writing order.
std::string FileKey(const std::string& path) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

std::shared_ptr<std::ostream> ShareOrOpen(const std::string& path) {
  // The operating system would silently stop at an embedded NUL and write somewhere else.
  if (path.find('\0') != std::string::npos) {
    return nullptr;
  }
  const std::string key = FileKey(path);
  OpenLogs& logs = Registry();
  const std::lock_guard lock(logs.mutex);
  const auto found = logs.byFile.find(key);
  if (found != logs.byFile.end()) {
    if (auto shared = found->second.lock()) {
      return shared;
    }
    logs.byFile.erase(found);
  }
  auto file = std::make_shared<std::ofstream>(path, std::ios::out | std::ios::app);
  if (!file->is_open()) {
    return nullptr;
  }
  file->imbue(std::locale::classic());
  logs.byFile.emplace(key, file);
  return file;
}

}  // namespace

DiagnosticLog::DiagnosticLog(const std::string& logPath) {
  if (!logPath.empty()) {
    stream_ = ShareOrOpen(logPath);
  }
}

DiagnosticLog::~DiagnosticLog() { Close(); }

void DiagnosticLog::WriteLine(std::string_view text) {
  if (!stream_) {
    return;
  }
  stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
  stream_->put('\n');
  stream_->flush();
}

void DiagnosticLog::WriteLine(std::string_view label, std::u16string_view text) {
  if (!stream_) {
    return;
  }
  std::string line(label);
  line += Utf16ToUtf8(text);
  WriteLine(line);
}

void DiagnosticLog::Close() {
  if (!stream_) {
    return;
  }
  OpenLogs& logs = Registry();
  const std::lock_guard lock(logs.mutex);
  if (stream_.use_count() == 1) {
    // The last writer: forget the entry, and dropping the share below flushes and closes.
    std::erase_if(logs.byFile, [this](const auto& entry) {
      return !entry.second.owner_before(stream_) && !stream_.owner_before(entry.second);
    });
  }
  stream_.reset();
}

}  // namespace tolvane
