#pragma once
// Text from outside the program (a key read from a file, an option typed on
// the command line) as a message shows it: quoted, shortened and escaped, so
// a huge value cannot flood the terminal and a control character or escape
// sequence never reaches it raw.

#include <cstddef>
#include <string>
#include <string_view>

namespace sorrel {

// Characters of a quoted text shown before it is cut with "...".
inline constexpr std::size_t kQuotedCharacters = 40;

// `text` in double quotes: printable characters as they are (UTF-8 kept
// whole), a double quote or backslash behind a backslash, anything else as
// \xNN per byte; at most kQuotedCharacters characters, then "...".
std::string quote_for_message(std::string_view text);

} // namespace sorrel
