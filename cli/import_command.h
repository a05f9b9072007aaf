#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "app/text_encodings.h"
#include "core/game.h"
#include "history/import_columns.h"

namespace tolvane::cli {

struct ImportArguments {
  std::string source;
  std::string dest;  // "-": standard output; empty with --into
  std::string into;  // a history to merge the source into; empty with -o
  TextEncoding encoding = TextEncoding::kCp932;
  bool encodingGiven = false;                           // else found from the source's bytes
  TextEncoding historyEncoding = TextEncoding::kCp932;  // the --into history's
  Game game = Game::kNumbers3;
  std::optional<ImportColumns> columns;  // nullopt: found by the header's names
};

// Adds `import` to the parser; the options are written into `args` as they are parsed.
CLI::App* AddImportCommand(CLI::App& app, ImportArguments& args);

// Converts SOURCE into a history at DEST, or merges it into the history named by --into, and ends
// standard error with a summary line, or says why it could not. Returns the exit status.
int RunImport(const ImportArguments& args);

}  // namespace tolvane::cli
