#include "cli/output_format.h"

#include "cli/word_option.h"

namespace tolvane::cli {

std::string_view Word(OutputFormat format) {
  for (const OptionEntry<OutputFormat>& entry : kOutputFormats) {
    if (entry.kind == format) {
      return entry.word;
    }
  }
  return {};
}

CLI::Option* AddFormatOption(CLI::App& command, OutputFormat& format,
                             const std::string& description) {
  return AddWordOption(command, "--format", format, kOutputFormats, description);
}

}  // namespace tolvane::cli
