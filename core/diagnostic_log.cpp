#include "core/diagnostic_log.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <locale>
#include <map>
#include <mutex>
#include <sstream>

#include "core/shortest_text.h"
#include "core/utf.h"

namespace tolvane {
namespace {

// A log whose reader went away is a write error like any other, reported after the run, and
// must not end the process by SIGPIPE before it prints its result. The signal is held back
// while writing and the one the failed write raised is taken off again.
ssize_t WriteWithoutSigpipe(int fd, std::string_view bytes) {
  sigset_t pipe;
  sigset_t before;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &before);
  sigset_t pendingBefore;
  sigpending(&pendingBefore);
  const ssize_t n = ::write(fd, bytes.data(), bytes.size());
  const int error = errno;
  if (n < 0 && error == EPIPE && sigismember(&pendingBefore, SIGPIPE) == 0) {
    const timespec none{};
    while (sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  errno = error;
  return n;
}

}  // namespace

// Text waits in `pending` until a writer asks for it to go out or it grows large; only the part
// up to its last line feed is written then, so the file only ever receives whole lines.
// `wholeLines` marks that part, so a value line megabytes long is never searched or copied
// while it grows.
struct DiagnosticLog::File {
  int fd = -1;
  std::string pending;
  std::size_t wholeLines = 0;    // pending[0, wholeLines) ends with a line feed
  std::ostringstream formatter;  // for the rare type that needs a stream
  int writeError = 0;

  File() { formatter.imbue(std::locale::classic()); }
  ~File() {
    WriteOut(true);
    ::close(fd);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  void Append(std::string_view text) {
    const std::size_t feed = text.rfind('\n');
    if (feed != std::string_view::npos) {
      wholeLines = pending.size() + feed + 1;
    }
    pending += text;
  }

  // Writes the whole lines held (and, at the end, whatever is left).
  void WriteOut(bool everything) {
    const std::size_t end = everything ? pending.size() : wholeLines;
    if (end == 0) {
      return;
    }
    WriteAll(std::string_view(pending).substr(0, end));
    pending.erase(0, end);
    wholeLines = 0;
  }

  void WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = WriteWithoutSigpipe(fd, bytes);
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
constexpr std::size_t kWriteOutAt = std::size_t{64} * 1024;

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
  // A FIFO nobody reads would hold the open forever: it fails at once (ENXIO) instead.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
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

void DiagnosticLog::AppendText(std::string_view text) { file_->Append(text); }

// What a stream in the classic locale with the default format writes: printf's %.6g, which
// std::to_chars with general format and precision 6 is defined to match (inf and nan
// included).
void DiagnosticLog::AppendDouble(double value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  std::array<char, 32> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 6);
  file_->Append(std::string_view(text.data(), static_cast<std::size_t>(result.ptr - text.data())));
#else
  file_->Append(GeneralText(value, 6));
#endif
}

void DiagnosticLog::AppendInteger(long long value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  file_->Append(std::string_view(text.data(), static_cast<std::size_t>(result.ptr - text.data())));
}

void DiagnosticLog::AppendInteger(unsigned long long value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  file_->Append(std::string_view(text.data(), static_cast<std::size_t>(result.ptr - text.data())));
}

std::ostream& DiagnosticLog::Formatter() {
  file_->formatter.str(std::string());
  return file_->formatter;
}

void DiagnosticLog::AppendFormatted() {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  file_->Append(file_->formatter.view());
#else
  file_->Append(file_->formatter.str());  // a C++ library without view() (the browser build's)
#endif
}

void DiagnosticLog::WroteText() {
  if (file_->pending.size() >= kWriteOutAt) {
    file_->WriteOut(false);
  }
}

void DiagnosticLog::WriteLine(std::string_view text) {
  if (!file_) {
    return;
  }
  file_->Append(text);
  file_->Append("\n");
  file_->WriteOut(false);
}

// Straight onto the held text: the loader writes one of these for every line it reads.
void DiagnosticLog::WriteConverted(std::string_view label, std::u16string_view text) {
  file_->pending += label;
  AppendUtf16AsUtf8(file_->pending, text);
  file_->pending += '\n';
  file_->wholeLines = file_->pending.size();
  file_->WriteOut(false);
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
