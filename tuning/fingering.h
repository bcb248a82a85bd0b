#pragma once
// Fingerings: which holes are open, written as a fingering chart reads them,
// "x" closed and "o" open, the top hole first.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::tuning {

// Which holes a fingering opens, the top hole first.
struct Fingering {
    std::vector<bool> open;

    bool operator==(const Fingering&) const = default;
};

// The fingering `text` spells for an instrument of `holeCount` holes, or
// empty with `error` set when it is empty (on an instrument with holes), holds anything but "x" and
// "o", or has the wrong number of holes.
std::optional<Fingering> parse_fingering(std::string_view text, std::size_t holeCount,
                                         std::string& error);

// "xxxooo".
std::string fingering_text(const Fingering& fingering);

// The notes of the scale: every hole closed, then the holes opened one by one
// from the foot up; holeCount + 1 fingerings.
std::vector<Fingering> default_fingerings(std::size_t holeCount);

} // namespace sorrel::tuning
