#include "core/diagnostic_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <locale>
#include <map>
#include <mutex>

#include "core/utf.h"

namespace tolvane {

// Text waits in `pending` until a writer asks for it to go out or it grows large; only the part
// up to its last line feed is written then, so the file only ever receives whole lines.
struct DiagnosticLog::File {
  int fd = -1;
  std::ostringstream pending;
  int writeError = 0;

  File() { pending.imbue(std::locale::classic()); }
  ~File() {
    WriteOut(true);
    ::close(fd);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Writes the whole lines held (and, at the end, whatever is left).
  void WriteOut(bool everything) {
    const std::string text = pending.str();
    // rfind's npos + 1 wraps to 0: no whole line yet.
    const std::size_t end = everything ? text.size() : text.rfind('\n') + 1;
    if (end == 0) {
      return;
    }
    WriteAll(std::string_view(text).substr(0, end));
    pending.str(text.substr(end));
    pending.seekp(0, std::ios::end);
  }

  void WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        if (writeError == 0) {
          writeError = n < 0 ? errno : EIO;
        }
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
};

namespace {

// Held text beyond this goes out (as whole lines) even without a line written by the loader.
constexpr std::streamoff kWriteOutAt = std::streamoff{64} * 1024;

// Files currently open, by file. An entry lives exactly as long as some writer holds it.
struct OpenLogs {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<DiagnosticLog::File>> byFile;
};

OpenLogs& Registry() {
  static OpenLogs registry;
  return registry;
}

// Spellings of one file ("a.log", "./a.log", through a symbolic link) must find the same buffer,
// or their lines would interleave by buffer flushes instead of by writing order.
std::string FileKey(const std::string& path) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

std::shared_ptr<DiagnosticLog::File> ShareOrOpen(const std::string& path, int& error) {
  // The operating system would silently stop at an embedded NUL and write somewhere else.
  if (path.find('\0') != std::string::npos) {
    error = EINVAL;
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
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  auto file = std::make_shared<DiagnosticLog::File>();
  file->fd = fd;
  logs.byFile.emplace(key, file);
  return file;
}

}  // namespace

DiagnosticLog::DiagnosticLog(const std::string& logPath) {
  if (!logPath.empty()) {
    file_ = ShareOrOpen(logPath, openError_);
  }
}

DiagnosticLog::~DiagnosticLog() { Close(); }

std::ostream& DiagnosticLog::Text() { return file_->pending; }

void DiagnosticLog::WroteText() {
  if (file_->pending.tellp() >= kWriteOutAt) {
    file_->WriteOut(false);
  }
}

void DiagnosticLog::WriteLine(std::string_view text) {
  if (!file_) {
    return;
  }
  file_->pending << text << '\n';
  file_->WriteOut(false);
}

void DiagnosticLog::WriteConverted(std::string_view label, std::u16string_view text) {
  std::string line(label);
  line += Utf16ToUtf8(text);
  WriteLine(line);
}

void DiagnosticLog::Flush() {
  if (file_) {
    file_->WriteOut(true);
  }
}

int DiagnosticLog::WriteError() const { return file_ ? file_->writeError : 0; }

void DiagnosticLog::Close() {
  if (!file_) {
    return;
  }
  OpenLogs& logs = Registry();
  const std::lock_guard lock(logs.mutex);
  if (file_.use_count() == 1) {
    // The last writer: forget the entry; dropping the share below writes the rest and closes.
    std::erase_if(logs.byFile, [this](const auto& entry) {
      return !entry.second.owner_before(file_) && !file_.owner_before(entry.second);
    });
  }
  file_.reset();
}

}  // namespace tolvane
