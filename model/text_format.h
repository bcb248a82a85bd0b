#pragma once
// printf- and scanf-style conversions that behave exactly as the C library
// does in the "C" locale, whatever locale the desktop has set: every figure
// Sorrel shows, stores or prints goes through here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorrel {

// Characters a numeric field is read from, and a text field.
inline constexpr std::size_t kNumberFieldChars = 9;
inline constexpr std::size_t kTextFieldChars = 19;

// snprintf in the "C" locale.
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// sscanf "%f" / "%d" over the whole text: leading blanks skipped, parsing stops
// at the first character that cannot belong to the number. Empty when the text
// does not begin with a number.
std::optional<float> parse_float(std::string_view text);
std::optional<int32_t> parse_int(std::string_view text);

// A text that is one finite number and nothing else but surrounding blanks,
// as "7.5", "+7.5" or "1e-3": "7,5", "40mm" and "" are not numbers.
std::optional<double> parse_whole_number(std::string_view text);

// The same as parse_float, reading only the first kNumberFieldChars characters, as an edit
// field is read.
std::optional<float> read_float_field(std::string_view text);
std::optional<int32_t> read_int_field(std::string_view text);

// The first blank-delimited word of the first kTextFieldChars characters;
// empty when there is none.
std::optional<std::string> read_word_field(std::string_view text);

// The record keeps one Latin-1 byte per character; pages and JSON read UTF-8.
std::string latin1_to_utf8(std::string_view text);

} // namespace sorrel
