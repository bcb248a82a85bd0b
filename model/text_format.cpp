#include "model/text_format.h"

#include <cmath>

#include <charconv>

#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace sorrel {
namespace {

// Switches this thread to the "C" locale for the lifetime of the guard; the
// process-wide locale (which QApplication sets from the environment) is left
// alone.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
        return c;
    }
    locale_t previous_;
};

std::string_view first_chars(std::string_view text, std::size_t count) {
    return text.substr(0, count);
}

} // namespace

std::string format(const char* pattern, ...) {
    CLocaleScope scope;
    char buffer[256];
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    std::string result;
    if (length < 0) {
        va_end(again);
        return result;
    }
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        result.assign(buffer, static_cast<std::size_t>(length));
    } else {
        result.resize(static_cast<std::size_t>(length));
        std::vsnprintf(result.data(), result.size() + 1, pattern, again);
    }
    va_end(again);
    return result;
}

// One sscanf conversion of `text` into a T; empty when nothing converts.
template <class T> std::optional<T> scan_one(std::string_view text, const char* conversion) {
    CLocaleScope scope;
    const std::string terminated(text);
    T value{};
    if (std::sscanf(terminated.c_str(), conversion, &value) != 1)
        return std::nullopt;
    return value;
}

std::optional<float> parse_float(std::string_view text) {
    return scan_one<float>(text, "%f");
}

std::optional<int32_t> parse_int(std::string_view text) {
    return scan_one<int>(text, "%d");
}

std::optional<double> parse_whole_number(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (fault != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> read_float_field(std::string_view text) {
    return parse_float(first_chars(text, kNumberFieldChars));
}

std::optional<int32_t> read_int_field(std::string_view text) {
    return parse_int(first_chars(text, kNumberFieldChars));
}

std::optional<std::string> read_word_field(std::string_view text) {
    CLocaleScope scope;
    const std::string terminated(first_chars(text, kTextFieldChars));
    char word[kTextFieldChars + 1] = {};
    if (std::sscanf(terminated.c_str(), "%19s", word) != 1)
        return std::nullopt;
    return std::string(word);
}

std::string latin1_to_utf8(std::string_view text) {
    std::string utf8;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            utf8 += ch;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

} // namespace sorrel
