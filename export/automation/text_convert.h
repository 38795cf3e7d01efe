// Conversions between the program's 8-bit texts (UTF-8 here) and the UTF-16
// strings that automation calls carry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "export/automation/com_types.h"

namespace automation {

using OleString = std::basic_string<OLECHAR>;

// Malformed UTF-8 becomes U+FFFD, one per ill-formed part, rather than being
// dropped, so a name or text never silently changes into another valid one.
OleString ToOleString(std::string_view utf8);

// Unpaired surrogates become U+FFFD.
std::string FromOleString(const OLECHAR* text, std::size_t length);

// The whole BSTR by its length prefix (embedded zeros included); a null BSTR
// is the empty text.
std::string FromBstr(BSTR text);

// A freshly allocated BSTR holding `utf8`; the caller frees it. Throws
// std::bad_alloc when the allocation fails.
BSTR AllocBstr(std::string_view utf8);

}  // namespace automation
