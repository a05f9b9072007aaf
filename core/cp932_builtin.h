#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/cp932.h"

namespace tolvane {

// Code page 932 from tables written out of glibc iconv (scripts/generate_cp932_table.py), for
// builds without glibc iconv (the browser's): the same decisions byte for byte, which the test
// suite checks against iconv for every one- and two-byte sequence and every character.
std::unique_ptr<Cp932Decoder> OpenBuiltInCp932Decoder();

// Utf8ToCp932 from the same tables.
std::optional<std::string> BuiltInUtf8ToCp932(std::string_view utf8);

}  // namespace tolvane
