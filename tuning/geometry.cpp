#include "tuning/geometry.h"

#include "tuning/fingering.h"
#include "tuning/size_limits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>

namespace sorrel::tuning {
namespace {

bool positive(double value) {
    return std::isfinite(value) && value > 0;
}
bool not_negative(double value) {
    return std::isfinite(value) && value >= 0;
}

std::string indexed(const std::string& name, std::size_t index) {
    return name + "[" + std::to_string(index) + "]";
}

constexpr double kMmPerMetre = 1000;

// A size that no instrument has, named with its limit; sizes in m.
struct SizeLimit {
    double metres;
    double largestMm;
    std::string field;
};

std::optional<GeometryFault> first_oversize(std::initializer_list<SizeLimit> sizes) {
    for (const SizeLimit& size : sizes)
        if (size.metres * kMmPerMetre > size.largestMm)
            return GeometryFault{size.field,
                                 "must be at most " + std::to_string(int(size.largestMm)) + " mm"};
    return std::nullopt;
}

// Counts first: the checks after them take time with the square of the
// hole count.
std::optional<GeometryFault> check_counts(const Geometry& geometry) {
    const std::tuple<std::size_t, std::size_t, const char*, const char*> counts[] = {
        {geometry.holes.size(), kMostHoles, "holes", " holes"},
        {geometry.boreProfile.size(), kMostProfilePoints, "bore_profile_mm", " points"},
        {geometry.extraFingerings.size(), kMostFingerings, "fingerings", " fingerings"},
        {geometry.notes.size(), kMostFingerings, "notes", " notes"},
    };
    for (const auto& [count, most, field, what] : counts)
        if (count > most)
            return GeometryFault{field, "at most " + std::to_string(most) + what};
    return std::nullopt;
}

// Sizes of the tube and its mouth; the holes' are checked with each hole.
std::optional<GeometryFault> check_sizes(const Geometry& geometry) {
    const Mouth& mouth = geometry.mouth;
    if (auto fault =
            first_oversize({{geometry.length, kLongestTubeMm, "length_mm"},
                            {geometry.boreDiameter, kWidestBoreMm, "bore_mm"},
                            {geometry.wall, kThickestWallMm, "wall_mm"},
                            {mouth.windowWidth, kWidestBoreMm, "mouth.window_width_mm"},
                            {mouth.windowLength, kWidestBoreMm, "mouth.window_length_mm"},
                            {mouth.diameter, kWidestBoreMm, "mouth.diameter_mm"},
                            {mouth.headspace.value_or(0), kLongestTubeMm, "mouth.headspace_mm"},
                            {mouth.addedLength, kLongestTubeMm, "mouth.added_length_mm"},
                            {geometry.windowHeight, kThickestWallMm, "mouth.window_height_mm"}}))
        return fault;
    for (std::size_t i = 0; i < geometry.boreProfile.size(); ++i) {
        const BorePoint& point = geometry.boreProfile[i];
        const std::string field = indexed("bore_profile_mm", i);
        if (auto fault = first_oversize({{point.fromTop, kLongestTubeMm, field + "[0]"},
                                         {point.diameter, kWidestBoreMm, field + "[1]"}}))
            return fault;
    }
    return std::nullopt;
}

std::optional<GeometryFault> check_bore(const Geometry& geometry) {
    if (!positive(geometry.length))
        return GeometryFault{"length_mm", "must be a number above 0"};
    if (geometry.boreProfile.empty()) {
        if (!positive(geometry.boreDiameter))
            return GeometryFault{"bore_mm", "must be a number above 0"};
    } else {
        if (geometry.boreProfile.size() < 2)
            return GeometryFault{"bore_profile_mm", "needs at least two points"};
        for (std::size_t i = 0; i < geometry.boreProfile.size(); ++i) {
            const BorePoint& point = geometry.boreProfile[i];
            const std::string field = indexed("bore_profile_mm", i);
            if (!not_negative(point.fromTop))
                return GeometryFault{field + "[0]", "must be a number of at least 0"};
            if (i > 0 && point.fromTop <= geometry.boreProfile[i - 1].fromTop)
                return GeometryFault{field + "[0]", "must lie below the point before it"};
            // A profile may close to a rounded top above a mouth it places.
            const bool roundedTop = i == 0 && point.diameter == 0 && geometry.mouth.position &&
                                    point.fromTop < *geometry.mouth.position;
            if (!positive(point.diameter) && !roundedTop)
                return GeometryFault{field + "[1]", "must be a number above 0"};
        }
    }
    if (!positive(geometry.wall))
        return GeometryFault{"wall_mm", "must be a number above 0"};
    return check_sizes(geometry);
}

std::optional<GeometryFault> check_position(const Geometry& geometry) {
    const std::optional<double>& position = geometry.mouth.position;
    if (position && (!positive(*position) || *position >= geometry.length))
        return GeometryFault{"mouth.position_mm", "must lie between the top and the foot"};
    return std::nullopt;
}

std::optional<GeometryFault> check_mouth(const Geometry& geometry) {
    const Mouth& mouth = geometry.mouth;
    switch (mouth.kind) {
    case MouthKind::Fipple:
        if (!positive(mouth.windowLength))
            return GeometryFault{"mouth.window_length_mm", "must be a number above 0"};
        if (!positive(mouth.windowWidth))
            return GeometryFault{"mouth.window_width_mm", "must be a number above 0"};
        if (mouth.windowLength >= geometry.length)
            return GeometryFault{"mouth.window_length_mm", "must be shorter than the tube"};
        if (auto fault = check_position(geometry))
            return fault;
        break;
    case MouthKind::Embouchure:
        if (mouth.windowLength > 0 || mouth.windowWidth > 0) {
            if (!positive(mouth.windowLength))
                return GeometryFault{"mouth.length_mm", "must be a number above 0"};
            if (!positive(mouth.windowWidth))
                return GeometryFault{"mouth.width_mm", "must be a number above 0"};
        } else if (!positive(mouth.diameter)) {
            return GeometryFault{"mouth.diameter_mm", "must be a number above 0"};
        }
        if (mouth.headspace && !not_negative(*mouth.headspace))
            return GeometryFault{"mouth.headspace_mm", "must be a number of at least 0"};
        if (mouth.headspace && mouth.position)
            return GeometryFault{"mouth.headspace_mm",
                                 "give headspace_mm or position_mm, not both"};
        if (auto fault = check_position(geometry))
            return fault;
        break;
    case MouthKind::Closed:
        if (!not_negative(mouth.addedLength))
            return GeometryFault{"mouth.added_length_mm", "must be a number of at least 0"};
        return std::nullopt;
    }
    if (!not_negative(geometry.windowHeight))
        return GeometryFault{"mouth.window_height_mm", "must be a number of at least 0"};
    return std::nullopt;
}

std::optional<GeometryFault> check_hole(const Geometry& geometry, std::size_t index) {
    const Hole& hole = geometry.holes[index];
    const std::string field = indexed("holes", index);
    if (!positive(hole.fromFoot))
        return GeometryFault{field + ".from_foot_mm", "must be a number above 0"};
    if (!positive(hole.diameter))
        return GeometryFault{field + ".diameter_mm", "must be a number above 0"};
    if (hole.wall && !positive(*hole.wall))
        return GeometryFault{field + ".wall_mm", "must be a number above 0"};
    if (auto fault = first_oversize({{hole.wall.value_or(0), kThickestWallMm, field + ".wall_mm"}}))
        return fault;
    const double radius = hole.diameter / 2;
    if (hole.fromFoot - radius <= 0 ||
        hole.fromFoot + radius >= geometry.length - mouth_extent(geometry.mouth))
        return GeometryFault{field + ".from_foot_mm", "the hole lies beyond the tube"};
    if (hole.diameter > bore_diameter_at(geometry, geometry.length - hole.fromFoot))
        return GeometryFault{field + ".diameter_mm", "the hole is wider than the bore"};
    return std::nullopt;
}

std::optional<GeometryFault> check_holes(const Geometry& geometry) {
    for (std::size_t i = 0; i < geometry.holes.size(); ++i)
        if (auto fault = check_hole(geometry, i))
            return fault;
    for (std::size_t i = 0; i < geometry.holes.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            const Hole& a = geometry.holes[i];
            const Hole& b = geometry.holes[j];
            if (std::abs(a.fromFoot - b.fromFoot) <= (a.diameter + b.diameter) / 2)
                return GeometryFault{indexed("holes", i) + ".from_foot_mm",
                                     "the hole overlaps " + indexed("holes", j)};
        }
    }
    return std::nullopt;
}

std::optional<GeometryFault> check_air(const Air& air) {
    if (!std::isfinite(air.temperature) || air.temperature < -30 || air.temperature > 60)
        return GeometryFault{"temperature_c", "must be a number from -30 to 60"};
    if (!std::isfinite(air.humidityPercent) || air.humidityPercent < 0 || air.humidityPercent > 100)
        return GeometryFault{"humidity_percent", "must be a number from 0 to 100"};
    if (!std::isfinite(air.co2Percent) || air.co2Percent < 0 || air.co2Percent > 20)
        return GeometryFault{"co2_percent", "must be a number from 0 to 20"};
    if (!positive(air.pressure))
        return GeometryFault{"pressure", "must be a number above 0"};
    return std::nullopt;
}

std::optional<GeometryFault> check_notes(const Geometry& geometry) {
    if (!geometry.targets.empty() && geometry.targets.size() != geometry.holes.size() + 1)
        return GeometryFault{"targets_hz", "needs one frequency per default fingering (" +
                                               std::to_string(geometry.holes.size() + 1) + ")"};
    for (std::size_t i = 0; i < geometry.targets.size(); ++i)
        if (!positive(geometry.targets[i]))
            return GeometryFault{indexed("targets_hz", i), "must be a number above 0"};
    for (std::size_t i = 0; i < geometry.extraFingerings.size(); ++i) {
        std::string error;
        if (!parse_fingering(geometry.extraFingerings[i], geometry.holes.size(), error))
            return GeometryFault{indexed("fingerings", i), error};
    }
    for (std::size_t i = 0; i < geometry.notes.size(); ++i) {
        std::string error;
        const Note& note = geometry.notes[i];
        if (!parse_fingering(note.fingering, geometry.holes.size(), error))
            return GeometryFault{indexed("notes", i) + ".fingering", error};
        if (!positive(note.target))
            return GeometryFault{indexed("notes", i) + ".target_hz", "must be a number above 0"};
    }
    if (!positive(geometry.strouhal))
        return GeometryFault{"mouth.strouhal", "must be a number above 0"};
    return std::nullopt;
}

} // namespace

double mouth_position(const Mouth& mouth) {
    switch (mouth.kind) {
    case MouthKind::Fipple:
        return mouth.position.value_or(mouth.windowLength);
    case MouthKind::Embouchure:
        return mouth.position.value_or(0);
    case MouthKind::Closed:
        break;
    }
    return 0;
}

double mouth_extent(const Mouth& mouth) {
    switch (mouth.kind) {
    case MouthKind::Fipple:
        return mouth_position(mouth);
    case MouthKind::Embouchure:
        return mouth_position(mouth) +
               (mouth.windowLength > 0 ? mouth.windowLength : mouth.diameter) / 2;
    case MouthKind::Closed:
        break;
    }
    return 0;
}

double bore_diameter_at(const Geometry& geometry, double fromTop) {
    const std::vector<BorePoint>& profile = geometry.boreProfile;
    if (profile.empty())
        return geometry.boreDiameter;
    if (fromTop <= profile.front().fromTop)
        return profile.front().diameter;
    for (std::size_t i = 1; i < profile.size(); ++i) {
        if (fromTop <= profile[i].fromTop) {
            const BorePoint& above = profile[i - 1];
            const double share = (fromTop - above.fromTop) / (profile[i].fromTop - above.fromTop);
            return above.diameter + share * (profile[i].diameter - above.diameter);
        }
    }
    return profile.back().diameter;
}

std::vector<Hole> holes_top_first(const Geometry& geometry) {
    std::vector<Hole> holes = geometry.holes;
    std::sort(holes.begin(), holes.end(),
              [](const Hole& a, const Hole& b) { return a.fromFoot > b.fromFoot; });
    return holes;
}

std::string describe(const GeometryFault& fault) {
    return fault.field + ": " + fault.message;
}

std::optional<GeometryFault> validate(const Geometry& geometry) {
    if (auto fault = check_counts(geometry))
        return fault;
    if (auto fault = check_bore(geometry))
        return fault;
    if (auto fault = check_mouth(geometry))
        return fault;
    if (auto fault = check_holes(geometry))
        return fault;
    if (auto fault = check_air(geometry.air))
        return fault;
    return check_notes(geometry);
}

} // namespace sorrel::tuning
