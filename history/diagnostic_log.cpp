#include "history/diagnostic_log.h"

#include <fstream>
#include <locale>
#include <map>
#include <mutex>

namespace tolvane {
namespace {

// Streams currently open, by path. Entries expire when their last writer closes.
struct OpenLogs {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<std::ostream>> byPath;
};

OpenLogs& Registry() {
  static OpenLogs registry;
  return registry;
}

std::shared_ptr<std::ostream> ShareOrOpen(const std::string& path) {
  OpenLogs& logs = Registry();
  std::lock_guard lock(logs.mutex);
  auto found = logs.byPath.find(path);
  if (found != logs.byPath.end()) {
    if (auto shared = found->second.lock()) return shared;
    logs.byPath.erase(found);
  }
  auto file = std::make_shared<std::ofstream>(path, std::ios::out | std::ios::app);
  if (!file->is_open()) return nullptr;
  file->imbue(std::locale::classic());
  logs.byPath.emplace(path, file);
  return file;
}

}  // namespace

DiagnosticLog::DiagnosticLog(const std::string& logPath) {
  if (!logPath.empty()) stream_ = ShareOrOpen(logPath);
}

DiagnosticLog::~DiagnosticLog() { Close(); }

void DiagnosticLog::WriteLine(std::string_view text) {
  if (!stream_) return;
  stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
  stream_->put('\n');
  stream_->flush();
}

void DiagnosticLog::Close() {
  // Dropping the last share destroys the ofstream, which flushes and closes the file.
  OpenLogs& logs = Registry();
  std::lock_guard lock(logs.mutex);
  stream_.reset();
}

}  // namespace tolvane
