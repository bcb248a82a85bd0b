#include "tuning/note_class.h"

#include <algorithm>
#include <cmath>

namespace sorrel::tuning {

NoteClass note_class(std::string_view fingering, int mode) {
    const std::size_t open = fingering.find('o');
    if (open != std::string_view::npos && fingering.find('x', open) != std::string_view::npos)
        return NoteClass::CrossOrVented;
    return mode <= 1 ? NoteClass::FirstRegister : NoteClass::SecondRegister;
}

const char* class_name(NoteClass noteClass) {
    switch (noteClass) {
    case NoteClass::FirstRegister:
        return "first register";
    case NoteClass::CrossOrVented:
        return "cross-fingered and vented";
    case NoteClass::SecondRegister:
        break;
    }
    return "second register";
}

Spread spread(const std::vector<double>& cents) {
    Spread result;
    result.count = static_cast<int>(cents.size());
    if (cents.empty())
        return result;
    double sum = 0;
    for (double c : cents) {
        sum += c;
        result.largest = std::max(result.largest, std::abs(c));
    }
    const double mean = sum / result.count;
    double squares = 0;
    for (double c : cents)
        squares += (c - mean) * (c - mean);
    result.deviation = std::sqrt(squares / result.count);
    return result;
}

} // namespace sorrel::tuning
