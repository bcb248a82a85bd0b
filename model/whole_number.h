#pragma once
// A field's text read as one number, whatever the user's locale.

#include <optional>
#include <string_view>

namespace sorrel {

// A text that is one finite number and nothing else but surrounding blanks,
// as "7.5", "+7.5" or "1e-3": "7,5", "40mm" and "" are not numbers.
std::optional<double> parse_whole_number(std::string_view text);

} // namespace sorrel
