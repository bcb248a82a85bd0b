#include "tuning/fingering.h"

namespace sorrel::tuning {

std::optional<Fingering> parse_fingering(std::string_view text, std::size_t holeCount,
                                         std::string& error) {
    if (text.empty() && holeCount > 0) {
        error = "the fingering is empty";
        return std::nullopt;
    }
    Fingering fingering;
    for (char c : text) {
        if (c != 'x' && c != 'o') {
            error = "a fingering is written with x (closed) and o (open) only";
            return std::nullopt;
        }
        fingering.open.push_back(c == 'o');
    }
    if (fingering.open.size() != holeCount) {
        error = "the fingering names " + std::to_string(fingering.open.size()) +
                " holes; the instrument has " + std::to_string(holeCount);
        return std::nullopt;
    }
    return fingering;
}

std::string fingering_text(const Fingering& fingering) {
    std::string text;
    for (bool open : fingering.open)
        text += open ? 'o' : 'x';
    return text;
}

std::vector<Fingering> default_fingerings(std::size_t holeCount) {
    std::vector<Fingering> fingerings;
    for (std::size_t opened = 0; opened <= holeCount; ++opened) {
        Fingering fingering{std::vector<bool>(holeCount, false)};
        // The bottom hole is the last one in chart order.
        for (std::size_t k = 0; k < opened; ++k)
            fingering.open[holeCount - 1 - k] = true;
        fingerings.push_back(fingering);
    }
    return fingerings;
}

} // namespace sorrel::tuning
