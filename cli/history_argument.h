#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <string_view>

#include "core/text_decoder.h"
#include "history/draw_history.h"
#include "history/payouts.h"

namespace tolvane::cli {

// The HISTORY argument every command that reads a history takes.
CLI::Option* AddHistoryArgument(CLI::App& command, std::string& history);

// Loads a command's HISTORY argument exactly as predict does: the same checks, the same loader,
// "-" for standard input, and on failure the same lines on standard error (the window's text,
// then "tolvane-cli: " and where and why, with the UTF-8 hint where it applies). After a load
// it warns as predict does (WarnAboutLoad) and still returns true.
// False after a failure.
// A command that refuses a history out of order says so itself, without the warning first
// (warnAboutOrder false).
// With `payouts`, the draws' payouts are read too (the money replay's; standard input
// included), and a payout that is no amount fails as a bad line does.
bool LoadHistoryArgument(const std::string& path, OwnedHistory& history, LoadReport& report,
                         TextEncoding encoding = TextEncoding::kCp932, Game game = Game::kNumbers3,
                         bool warnAboutOrder = true, HistoryPayouts* payouts = nullptr,
                         const char* encodingOption = "--encoding");

// Says why, on standard error, when `path` is empty or names nothing (false then).
bool CheckHistoryPath(const std::string& path);

// Checks the bytes of the history file at `path` as LoadHistoryArgument loads a file (the same
// lines on failure; warnings but about the order), keeping no series: a command that rewrites the
// file then writes these very bytes. `alongside`, when given, is more work on the same bytes, done
// on a second processor while they are checked (after the check where no thread can be started).
bool CheckHistoryBytes(const std::string& path, std::string_view bytes, LoadReport& report,
                       const LoadOptions& options, const char* encodingOption = "--encoding",
                       const std::function<void()>& alongside = {});

// Reads the history file at `path` once into `bytes` and checks them (CheckHistoryBytes; the
// work alongside runs once the file has been read).
bool CheckHistoryFileBytes(const std::string& path, std::string& bytes, LoadReport& report,
                           const LoadOptions& options, const char* encodingOption = "--encoding",
                           const std::function<void()>& alongside = {});

// "tolvane-cli: warning: NAME:LINE: ..." on standard error when the rounds `report` read do not
// go up line by line, and when a Numbers 3 winning number was longer than three digits; nothing
// otherwise.
void WarnAboutLoad(const std::string& name, const LoadReport& report, bool aboutOrder = true);

// Why nothing exists at a path, in the system's words ("No such file or directory").
std::string MissingPathReason(const std::string& path);

}  // namespace tolvane::cli
