#include "cli/history_argument.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string_view>
#include <system_error>
#include <thread>

#include "app/messages.h"
#include "app/prediction_command.h"
#include "cli/exit_status.h"
#include "cli/history_source.h"
#include "core/utf.h"
#include "history/history_update.h"
#include "history/import_columns.h"
#include "history/utf8_hint.h"

namespace tolvane::cli {

CLI::Option* AddHistoryArgument(CLI::App& command, std::string& history) {
  return command.add_option("HISTORY", history, "History file (CSV); - reads standard input")
      ->required();
}

std::string MissingPathReason(const std::string& path) {
  struct stat info {};
  return std::strerror(::stat(path.c_str(), &info) == 0 ? ENOENT : errno);
}

void WarnAboutLoad(const std::string& name, const LoadReport& report, bool aboutOrder) {
  for (const std::string& detail : {aboutOrder ? OrderWarningDetail(name, report) : std::string(),
                                    LongNumberWarningDetail(name, report)}) {
    if (!detail.empty()) {
      Complain("warning: " + detail);
    }
  }
}

namespace {

// The lines of a failed load of the file at `path` (`name` to the user).
void ComplainAboutLoad(const std::string& path, const std::string& name, const LoadOptions& options,
                       LoadReport& report, const char* encodingOption) {
  AddUtf8Hint(path, options, report);
  // The hint names the option that sets this file's encoding.
  if (report.reason.ends_with(kUtf8HintText) && std::string_view(encodingOption) != "--encoding") {
    report.reason.replace(report.reason.size() - std::strlen("--encoding utf-8"),
                          std::strlen("--encoding"), encodingOption);
  }
  std::cerr << Utf16ToUtf8(std::u16string(kErrorPrefix) + LoadFailedText(options.game)) << '\n';
  Complain(LoadFailureDetail(name, report));
}

// Runs `work` on a second thread while `check` runs on this one, and returns check's result once
// both are done. Where no thread can be started (the browser's build has none), one runs after
// the other.
template <typename Check>
auto AlongsideOf(const std::function<void()>& work, const Check& check) {
#ifdef __EMSCRIPTEN__
  if (work) {
    work();
  }
  return check();
#else
  std::thread second;
  if (work) {
    try {
      second = std::thread(work);
    } catch (const std::system_error&) {
      work();
    }
  }
  struct Join {
    std::thread& thread;
    ~Join() {
      if (thread.joinable()) {
        thread.join();
      }
    }
  } join{second};
  return check();
#endif
}

}  // namespace

bool CheckHistoryPath(const std::string& path) {
  if (path.empty()) {
    std::cerr << Utf16ToUtf8(kEmptyPathText) << '\n';
    return false;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    std::cerr << Utf16ToUtf8(kMissingPathText) << '\n';
    Complain(path + ": " + MissingPathReason(path));
    return false;
  }
  return true;
}

bool CheckHistoryBytes(const std::string& path, std::string_view bytes, LoadReport& report,
                       const LoadOptions& options, const char* encodingOption,
                       const std::function<void()>& alongside) {
  const std::int32_t status =
      AlongsideOf(alongside, [&] { return CheckDrawHistoryBytes(bytes, &report, options); });
  if (status != kLoadOk) {
    ComplainAboutLoad(path, path, options, report, encodingOption);
    return false;
  }
  WarnAboutLoad(path, report, false);
  return true;
}

bool CheckHistoryFileBytes(const std::string& path, std::string& bytes, LoadReport& report,
                           const LoadOptions& options, const char* encodingOption,
                           const std::function<void()>& alongside) {
  if (!CheckHistoryPath(path)) {
    return false;
  }
  int error = 0;
  if (!ReadWholeFile(path, bytes, error)) {
    report = LoadReport{};
    report.reason = std::string(error == EISDIR ? "is a directory" : "cannot open: ") +
                    (error == EISDIR ? "" : std::strerror(error));
    ComplainAboutLoad(path, path, options, report, encodingOption);
    return false;
  }
  return CheckHistoryBytes(path, bytes, report, options, encodingOption, alongside);
}

bool LoadHistoryArgument(const std::string& path, OwnedHistory& history, LoadReport& report,
                         TextEncoding encoding, Game game, bool warnAboutOrder,
                         HistoryPayouts* payouts, const char* encodingOption) {
  if (path.empty()) {
    std::cerr << Utf16ToUtf8(kEmptyPathText) << '\n';
    return false;
  }
  HistorySource source(path);
  if (!source.Open()) {
    return false;
  }
  struct stat info {};
  if (::stat(source.Path().c_str(), &info) != 0) {
    std::cerr << Utf16ToUtf8(kMissingPathText) << '\n';
    Complain(source.Name() + ": " + MissingPathReason(source.Path()));
    return false;
  }
  const LoadOptions options{encoding, game};
  if (LoadDrawHistory(source.Path(), history.get(), "", &report, options) != kLoadOk) {
    ComplainAboutLoad(source.Path(), source.Name(), options, report, encodingOption);
    return false;
  }
  WarnAboutLoad(source.Name(), report, warnAboutOrder);
  if (payouts != nullptr) {
    LoadReport failure;
    if (!ReadHistoryPayouts(source.Path(), options, *payouts, failure)) {
      Complain(LoadFailureDetail(source.Name(), failure));
      return false;
    }
    if (!payouts->unreadNames.empty()) {
      Complain("warning: " + source.Name() + ": " + UnreadPayoutsText(payouts->unreadNames));
    }
  }
  return true;
}

}  // namespace tolvane::cli
