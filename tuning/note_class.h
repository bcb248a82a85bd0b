#pragma once
// The classes of notes a tuning report groups: the first register's simple
// fingerings, cross-fingered and vented notes, and the second register and
// above; with the spread of each class's cents.

#include <string_view>
#include <vector>

namespace sorrel::tuning {

enum class NoteClass { FirstRegister, CrossOrVented, SecondRegister };

// A fingering with a closed hole below an open one is cross-fingered (or, in
// a higher mode, vented); a simple fingering's mode says its register.
NoteClass note_class(std::string_view fingering, int mode);

// "first register", "cross-fingered and vented", "second register".
const char* class_name(NoteClass noteClass);

// The largest cents from target in either direction and their standard
// deviation about their mean.
struct Spread {
    int count = 0;
    double largest = 0;
    double deviation = 0;
};

Spread spread(const std::vector<double>& cents);

} // namespace sorrel::tuning
