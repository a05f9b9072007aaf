// The browser page's way into the program: tolvane-cli's own commands, run on files the page has
// put into the module's file system, their output handed back byte for byte. Nothing of the
// analysis or of its reports is done here, so the page shows what the command line prints.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/encoding_suggestion.h"
#include "app/japanese_reasons.h"
#include "app/text_encodings.h"
#include "cli/command_line.h"
#include "core/game.h"
#include "history/draw_history.h"

namespace tolvane::web {
namespace {

// Points a standard stream at a buffer for as long as it lives.
class Capture {
 public:
  explicit Capture(std::ostream& stream) : stream_(stream), old_(stream.rdbuf(text_.rdbuf())) {}
  ~Capture() { stream_.rdbuf(old_); }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::ostream& stream_;
  std::streambuf* old_;
};

emscripten::val Bytes(const std::string& text) {
  const emscripten::val view(emscripten::typed_memory_view(text.size(), text.data()));
  return view.call<emscripten::val>("slice");  // a copy that outlives `text`
}

// run(["predict", "/h.csv", "--format", "json"], onProgress) -> {status, stdout, stderr}, the
// output as Uint8Arrays. onProgress (a function, or undefined) is called with (done, total) as a
// long run goes; it must not throw, as a JavaScript exception would leave the command unwound.
emscripten::val Run(const emscripten::val& arguments, const emscripten::val& onProgress) {
  std::vector<std::string> words = {"tolvane-cli"};
  const auto count = arguments["length"].as<unsigned>();
  for (unsigned i = 0; i < count; ++i) {
    words.push_back(arguments[i].as<std::string>());
  }
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  int status = 0;
  std::string out;
  std::string err;
  {
    const Capture captureOut(std::cout);
    const Capture captureErr(std::cerr);
    cli::ProgressObserver observer;
    if (onProgress.typeOf().as<std::string>() == "function") {
      observer = [&onProgress](std::uint64_t done, std::uint64_t total) {
        onProgress(static_cast<double>(done), static_cast<double>(total));
      };
    }
    status = cli::RunCommandLine(static_cast<int>(words.size()), argv.data(), observer);
    std::cout.flush();
    std::cerr.flush();
    out = captureOut.Text();
    err = captureErr.Text();
  }
  std::cout.clear();  // a failed write the command saw must not fail the next run
  std::cerr.clear();
  emscripten::val result = emscripten::val::object();
  result.set("status", status);
  result.set("stdout", Bytes(out));
  result.set("stderr", Bytes(err));
  return result;
}

// What a command said on standard error, a line each, in the window's Japanese: the page shows
// a failure's reasons as the window does, the command line's English stays as it is.
std::string Reasons(const std::string& text) {
  constexpr std::string_view kTool = "tolvane-cli: ";
  std::string japanese;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string line = text.substr(at, end - at);
    if (line.starts_with(kTool)) {
      line.erase(0, kTool.size());
    }
    // A usage error: its reason, without the command's help that follows it.
    constexpr std::string_view kUsage = "ERROR: ";
    if (line.starts_with(kUsage)) {
      const std::size_t reason = line.find(": ", kUsage.size());
      return JapaneseReason(reason == std::string::npos ? line : line.substr(reason + 2));
    }
    japanese += JapaneseReason(line);
    if (end < text.size()) {
      japanese += '\n';
    }
    at = end + 1;
  }
  return japanese;
}

// 自動: the encoding to read the history at `path` in, as the window leads a player to it: code
// page 932, the programs' default, unless a load in it fails on a line and the window would
// suggest the other. The --encoding word ("cp932" or "utf-8"); a history that fails either way
// is read in code page 932, so its reasons are the command line's own.
std::string HistoryEncoding(const std::string& path, const std::string& gameWord) {
  LoadOptions options;
  options.game = GameFromWord(gameWord).value_or(Game::kNumbers3);
  OwnedHistory history;
  LoadReport report;
  if (LoadDrawHistory(path, history.get(), "", &report, options) == kLoadOk) {
    return std::string(Word(TextEncoding::kCp932));
  }
  return std::string(
      Word(SuggestedEncoding(path, options.encoding, report).value_or(options.encoding)));
}

}  // namespace
}  // namespace tolvane::web

EMSCRIPTEN_BINDINGS(tolvane) {
  emscripten::function("run", &tolvane::web::Run);
  emscripten::function("reasons", &tolvane::web::Reasons);
  emscripten::function("historyEncoding", &tolvane::web::HistoryEncoding);
}
