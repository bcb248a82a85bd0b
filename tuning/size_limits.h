#pragma once
// The largest sizes an instrument of ours can have, with room to spare. A
// larger value is a slip of the keyboard or a file made to do harm: taken
// as it stands, it would cost the model, the fit and the template minutes
// of work, millions of pages or the program's memory.

#include <cstddef>

namespace sorrel {

inline constexpr double kLongestTubeMm = 5000; // 5 m, past the largest bass flutes and whistles
inline constexpr double kWidestBoreMm = 150;   // any bore, hole, window or embouchure
inline constexpr double kThickestWallMm = 50;  // a tube wall or a hole's chimney
inline constexpr std::size_t kMostHoles = 40;  // tone holes of one instrument
inline constexpr std::size_t kMostProfilePoints = 1000; // points of a measured bore
inline constexpr std::size_t kMostFingerings = 100;     // extra fingerings asked for

} // namespace sorrel
