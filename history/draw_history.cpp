#include "history/draw_history.h"

#include <exception>
#include <iostream>
#include <stdexcept>

#include "core/diagnostic_log.h"
#include "core/utf.h"
#include "history/draw_history_loader.h"
#include "history/draw_line.h"
#include "history/history_line_reader.h"

namespace tolvane {
namespace {

// Reads, checks and hands over the draws; failures with a message are thrown to the caller's
// load-wide handler, the others return their code.
std::int32_t LoadLines(Cp932DecoderFactory openDecoder, const std::string& path, WAData& hundreds,
                       WAData& tens, WAData& ones, DiagnosticLog& log) {
  const std::unique_ptr<Cp932Decoder> decoder = openDecoder();
  if (!decoder) {
    throw std::runtime_error("bad locale name");
  }
  HistoryLineReader reader(path, *decoder);
  if (!reader.IsOpen()) {
    log.WriteLine("Error: Unable to open file " + path);
    return kLoadCannotOpen;
  }
  std::u16string_view line;
  if (!reader.Next(line)) {
    log.WriteLine("Error: Unable to read header line from file " + path);
    return kLoadFailed;
  }
  // The header's content is never looked at.

  DrawDigitLists digits;
  DrawFields fields;
  while (reader.Next(line)) {
    log.WriteLine("Processing line: ", line);
    fields.Split(line);
    if (fields.count() < 4) {
      log.WriteLine("Error: Line does not have enough fields: ", line);
      return kLoadFailed;
    }
    try {
      digits.Append(CheckDrawLine(fields, log));
    } catch (const std::exception& e) {
      log.WriteLine("Error processing line: " + Utf16ToUtf8(line) + "\nException: " + e.what());
      return kLoadFailed;
    }
  }
  digits.CommitTo(hundreds, tens, ones);
  return kLoadOk;
}

}  // namespace

std::int32_t LoadDrawHistoryUsing(Cp932DecoderFactory openDecoder, const std::string& path,
                                  WAData& hundreds, WAData& tens, WAData& ones,
                                  const std::string& logPath) {
  try {
    DiagnosticLog log(logPath);
    if (!logPath.empty() && !log.IsOpen()) {
      std::cerr << "Error: Unable to open log file " << logPath << '\n';
      return kLoadCannotOpen;
    }
    try {
      return LoadLines(openDecoder, path, hundreds, tens, ones, log);
    } catch (const std::exception& e) {
      log.WriteLine(std::string("Error during file processing: ") + e.what());
      return kLoadFailed;
    }
  } catch (...) {
    // Nothing escapes the loader; a failure while reporting a failure is still a failure.
    return kLoadFailed;
  }
}

std::int32_t LoadDrawHistory(const std::string& path, WAData& hundreds, WAData& tens, WAData& ones,
                             const std::string& logPath) {
  return LoadDrawHistoryUsing(&Cp932Decoder::Open, path, hundreds, tens, ones, logPath);
}

}  // namespace tolvane
