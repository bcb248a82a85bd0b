#pragma once
// What a full-scale drilling template shows: the tube from its foot end to
// the top of its length, the holes to drill and the mouth, in millimetres
// measured from the foot end. Filled from a design; drawn by the layout.

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

// One hole to drill.
struct DrillHole {
    int number = 0;         // hole 1 is nearest the foot
    double centre_mm = 0;   // centre from the foot end, mm
    double diameter_mm = 0; // drill diameter, mm
    std::string drill;      // the drill as the maker names it: "5/16 in", "7.5 mm"
};

// The window or embouchure hole, drawn as its outline.
struct MouthOutline {
    double centre_mm = 0; // centre from the foot end, mm
    double along_mm = 0;  // length along the tube, mm (the diameter when round)
    double across_mm = 0; // width across the tube, mm (the diameter when round)
    bool round = false;   // a round embouchure hole rather than a rectangle
    std::string name;     // "window", "embouchure"
};

// A whole template: the strip, its marks and the texts about the design.
struct DrillingPlan {
    double length_mm = 0;    // foot end to the top of the length, mm
    bool cut_at_top = false; // the tube is cut to length at the top line
    std::string top_name;    // what the top line is: "block", "embouchure centre"
    std::vector<DrillHole> holes;
    std::optional<MouthOutline> mouth;
    std::string description;
    std::string material;
    std::string first_note; // "D5 587.33 Hz"
    std::string date;       // the day it was printed, "2026-12-07"
    std::string positions;  // where the positions come from: "the calculator's design"
};

} // namespace sorrel
