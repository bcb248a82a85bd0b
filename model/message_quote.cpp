#include "model/message_quote.h"

#include "model/text_format.h"

namespace sorrel {
namespace {

// Bytes in the UTF-8 sequence that starts at `text[at]` when it is whole,
// minimal and a printable character (no C1 control, no surrogate); 0 when not.
std::size_t printable_sequence(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || at + length > text.size())
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0xA0, 0x800, 0x10000};
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= smallest[length] && code <= 0x10FFFF && !surrogate ? length : 0;
}

} // namespace

std::string quote_for_message(std::string_view text) {
    std::string out = "\"";
    std::size_t at = 0;
    for (std::size_t shown = 0; at < text.size() && shown < kQuotedCharacters; ++shown) {
        const char ch = text[at];
        if (ch == '"' || ch == '\\') {
            out += {'\\', ch};
            ++at;
        } else if (ch >= 0x20 && ch < 0x7F) {
            out += ch;
            ++at;
        } else if (const std::size_t length = printable_sequence(text, at)) {
            out += text.substr(at, length);
            at += length;
        } else {
            out += format("\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(ch)));
            ++at;
        }
    }
    return out + (at < text.size() ? "...\"" : "\"");
}

} // namespace sorrel
