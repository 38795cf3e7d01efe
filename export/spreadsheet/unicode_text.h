// UTF-8 in, UTF-16 out: texts enter the spreadsheet as UTF-8 and the .xls
// format stores them as UTF-16 code units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace spreadsheet {

// The UTF-16 form of well-formed UTF-8 text; nothing when the text is not
// well-formed (stray continuation bytes, overlong forms, surrogates, code
// points past U+10FFFF, cut-off sequences).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

}  // namespace spreadsheet
