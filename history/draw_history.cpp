#include "history/draw_history.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "core/cp932.h"
#include "core/diagnostic_log.h"
#include "core/utf.h"
#include "history/draw_history_loader.h"
#include "history/draw_line.h"
#include "history/history_line_reader.h"
#include "history/plain_draw_line.h"

namespace tolvane {
namespace {

std::int32_t Fail(LoadReport& report, std::int32_t status, std::uint64_t line, std::string reason) {
  report.line = line;
  report.reason = std::move(reason);
  return status;
}

// Keeps the lowest and highest round, and the first line whose round does not go up from the
// previous draw line's.
class RoundTracker {
 public:
  void Note(LoadReport& report, std::int32_t round, std::uint64_t line) {
    if (!seen_) {
      report.lowestRound = round;
      report.highestRound = round;
    } else {
      if (round <= previous_ && report.firstOutOfOrderLine == 0) {
        report.firstOutOfOrderLine = line;
      }
      report.lowestRound = std::min(report.lowestRound, round);
      report.highestRound = std::max(report.highestRound, round);
    }
    seen_ = true;
    previous_ = round;
  }

 private:
  bool seen_ = false;
  std::int32_t previous_ = 0;
};

// Notes a Numbers 3 winning number longer than three characters: the first one's line and
// field, and whether it was four digits. Rare, so the field is found again only then.
void NoteLongNumber(LoadReport& report, std::uint8_t marks, std::uint64_t line,
                    const std::function<std::u16string_view()>& field) {
  if ((marks & (kFourDigits >> 24)) != 0) {
    ++report.fourDigitNumbers;
  }
  if (report.firstLongNumberLine == 0) {
    report.firstLongNumberLine = line;
    report.firstLongNumber = Utf16ToUtf8(field());
  }
}

// Reads, checks and hands over the draws; failures with a message are thrown to the caller's
// load-wide handler, the others return their code.
// `fileBytes`, when given, are the file's, already read: they are checked instead of the file, and
// with `records` all null the draws are only counted.
std::int32_t LoadLines(Cp932DecoderFactory openDecoder, const std::string& path,
                       const std::optional<std::string_view>& fileBytes,
                       const std::array<WAData*, kMaxPlaces>& records, DiagnosticLog& log,
                       LoadReport& report, const LoadOptions& options) {
  const int places = PlaceCount(options.game);
  const bool utf8 = options.encoding == TextEncoding::kUtf8;
  std::unique_ptr<TextDecoder> decoder =
      utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(openDecoder());
  if (!decoder) {
    throw LoadError("bad locale name", 0, "this system has no code page 932 converter");
  }
  const char* encodingName = utf8 ? "UTF-8" : "code page 932";
  HistoryLineReader reader = fileBytes ? HistoryLineReader(*fileBytes, *decoder, encodingName)
                                       : HistoryLineReader(path, *decoder, encodingName);
  if (!reader.IsOpen()) {
    log.WriteLine("Error: Unable to open file " + path);
    const int error = reader.OpenError();
    return Fail(
        report, kLoadCannotOpen, 0,
        error == EISDIR ? "is a directory" : std::string("cannot open: ") + std::strerror(error));
  }
  // The header's content is never looked at, so it is not even decoded.
  if (!reader.SkipLine()) {
    log.WriteLine("Error: Unable to read header line from file " + path);
    return Fail(report, kLoadFailed, 0, "is empty (no header line)");
  }

  DrawDigitLists digits;
  const bool keep = std::any_of(records.begin(), records.end(),
                                [](const WAData* record) { return record != nullptr; });
  if (!keep) {
    digits.CountOnly();
  }
  // The shortest line that passes the checks ("第1回,2000/1/1,,1" and a line feed) bounds the
  // number of draws a file of this size can hold.
  constexpr std::uint64_t kShortestDrawLine = 18;
  digits.Reserve(reader.SizeHint() / kShortestDrawLine);
  // Without a log nothing needs the decoded text of a good line, so the plain ones are judged
  // from their bytes; with a log every line takes the general way and leaves its trace.
  PlainDrawLines plain(*decoder, options.encoding, places);
  const bool plainFirst = !log.IsOpen();
  DrawFields fields;
  RoundTracker rounds;
  std::string_view bytes;
  while (reader.NextBytes(bytes)) {
    CheckedDraw draw{};
    const bool judgedFromBytes = plainFirst && plain.Check(bytes, draw);
    std::u16string_view line;
    if (!judgedFromBytes) {
      line = reader.Decode(bytes);
      log.WriteLine("Processing line: ", line);
      fields.Split(line);
      if (fields.count() < 4) {
        log.WriteLine("Error: Line does not have enough fields: ", line);
        return Fail(report, kLoadFailed, reader.LineNumber(), FieldCountReason(fields.count()));
      }
    }
    try {
      if (!judgedFromBytes) {
        draw = CheckDrawLine(fields, log, places);
      }
      if (places == 4 && (draw.digits[0] & kThreeCharacters) != 0) [[unlikely]] {
        if (report.threeDigitNumbers++ == 0) {
          report.firstThreeDigitLine = reader.LineNumber();
        }
        draw.digits[0] &= static_cast<std::uint8_t>(~kThreeCharacters);
      }
      digits.Append(draw.digits);
      rounds.Note(report, draw.round, reader.LineNumber());
      if (places == 3 && draw.digits[3] != 0) [[unlikely]] {
        NoteLongNumber(report, draw.digits[3], reader.LineNumber(), [&] {
          if (line.empty()) {  // judged from its bytes: split it now
            fields.Split(reader.Decode(bytes));
          }
          return fields[3];
        });
      }
    } catch (const std::exception& e) {
      if (log.IsOpen()) {  // then the line took the general way, and `line` holds it
        log.WriteLine("Error processing line: " + Utf16ToUtf8(line) + "\nException: " + e.what());
      }
      const auto* error = dynamic_cast<const LoadError*>(&e);
      const bool tooMany = dynamic_cast<const std::length_error*>(&e) != nullptr;
      return Fail(report, kLoadFailed, reader.LineNumber(),
                  error != nullptr ? error->reason()
                  : tooMany        ? "more than " + std::to_string(digits.limit()) + " draws"
                                   : std::string(e.what()));
    }
  }
  if (keep) {
    digits.CommitTo(records, places);
  }
  report.draws = digits.size();
  return kLoadOk;
}

std::int32_t Load(Cp932DecoderFactory openDecoder, const std::string& path,
                  const std::array<WAData*, kMaxPlaces>& records, const std::string& logPath,
                  LoadReport* report, const LoadOptions& options,
                  const std::optional<std::string_view>& bytes = std::nullopt) {
  LoadReport local;
  LoadReport& out = report != nullptr ? *report : local;
  out = LoadReport{};
  try {
    DiagnosticLog log(logPath);
    if (!logPath.empty() && !log.IsOpen()) {
      std::cerr << "Error: Unable to open log file " << logPath << '\n';
      return Fail(out, kLoadCannotOpen, 0, "cannot open the log file " + logPath);
    }
    try {
      return LoadLines(openDecoder, path, bytes, records, log, out, options);
    } catch (const std::exception& e) {
      log.WriteLine(std::string("Error during file processing: ") + e.what());
      const auto* error = dynamic_cast<const LoadError*>(&e);
      return error != nullptr ? Fail(out, kLoadFailed, error->line(), error->reason())
                              : Fail(out, kLoadFailed, 0, e.what());
    }
  } catch (...) {
    // Nothing escapes the loader; a failure while reporting a failure is still a failure.
    return kLoadFailed;
  }
}

}  // namespace

std::int32_t LoadDrawHistoryUsing(Cp932DecoderFactory openDecoder, const std::string& path,
                                  WAData& hundreds, WAData& tens, WAData& ones,
                                  const std::string& logPath, LoadReport* report,
                                  const LoadOptions& options) {
  LoadOptions numbers3 = options;
  numbers3.game = Game::kNumbers3;
  return Load(openDecoder, path, {&hundreds, &tens, &ones, nullptr}, logPath, report, numbers3);
}

std::int32_t LoadDrawHistory(const std::string& path, WAData& hundreds, WAData& tens, WAData& ones,
                             const std::string& logPath, LoadReport* report,
                             const LoadOptions& options) {
  return LoadDrawHistoryUsing(&Cp932Decoder::Open, path, hundreds, tens, ones, logPath, report,
                              options);
}

std::int32_t LoadDrawHistory(const std::string& path, DrawHistory& history,
                             const std::string& logPath, LoadReport* report,
                             const LoadOptions& options) {
  DrawHistory loaded = history;
  loaded.game = options.game;
  const std::int32_t status =
      Load(&Cp932Decoder::Open, path, PlaceSeries(loaded), logPath, report, options);
  if (status == kLoadOk) {
    if (options.game != Game::kNumbers4) {
      ReleaseSeries(loaded.thousands);  // nothing of an earlier Numbers 4 load stays behind
      loaded.thousands = WAData{};
    }
    history = loaded;
  }
  return status;
}

std::int32_t CheckDrawHistoryBytes(std::string_view bytes, LoadReport* report,
                                   const LoadOptions& options) {
  return Load(&Cp932Decoder::Open, "", {}, "", report, options, bytes);
}

}  // namespace tolvane
