#pragma once
// The finished instrument as the tuning model sees it: plain values in SI
// units (metres, hertz, degrees Celsius), independent of the calculator's
// design record, so that a design slot, a geometry file or an as-built edit
// all describe the same thing.

#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

// One point of a bore profile; between points the bore is conical.
struct BorePoint {
    double fromTop = 0;  // distance from the top of the air column, m
    double diameter = 0; // bore diameter there, m

    bool operator==(const BorePoint&) const = default;
};

// A tone hole in the tube wall.
struct Hole {
    double fromFoot = 0;        // centre's distance from the foot end, m
    double diameter = 0;        // m
    std::optional<double> wall; // chimney height, m; empty: the tube's wall

    bool operator==(const Hole&) const = default;
};

// How the player excites the air column.
enum class MouthKind {
    Fipple,     // a whistle's window and block: resonances at the zeros of the impedance
    Embouchure, // a flute's blow hole: resonances at the zeros of the impedance
    Closed,     // a reed-like mouthpiece: resonances at the maxima of the impedance
};

// The blowing end. Which fields count depends on `kind`.
struct Mouth {
    MouthKind kind = MouthKind::Fipple;
    double windowLength = 0; // fipple window along the tube, or an oval embouchure's length, m
    double windowWidth = 0;  // fipple window across the tube, or an oval embouchure's width, m
    double diameter = 0;     // a round embouchure's diameter (windowLength 0), m
    std::optional<double>
        headspace;          // closed space above an embouchure, m; empty: one bore diameter
    double addedLength = 0; // closed mouthpiece: length added to the bore, m
    // The top of the bore to a fipple's splitting edge or an embouchure's
    // centre, m; the bore above it is the headspace, closed at the top. Empty:
    // the edge lies a window length below the top, or the embouchure at the
    // top with `headspace` beside it.
    std::optional<double> position;

    bool operator==(const Mouth&) const = default;
};

// The gas in the bore: the player's breath by default.
struct Air {
    double temperature = 28;      // °C
    double humidityPercent = 100; // relative humidity, %
    double co2Percent = 4;        // carbon dioxide, mole %
    double pressure = 101325;     // Pa

    bool operator==(const Air&) const = default;
};

inline constexpr double kDefaultWindowHeight = 2.5e-3; // m

// The jet's Strouhal number f·W/U (W the jet's length to the edge, U its
// speed) at which the player sounds a note: about 0.26 (Auvray, Fabre &
// Lagrée 2012; Terrien, Vergez & Fabre 2013).
inline constexpr double kDefaultStrouhal = 0.26;

// A note to predict: a fingering and the pitch it should sound, in any
// register.
struct Note {
    std::string fingering; // "oxxxxx", the top hole first
    double target = 0;     // Hz

    bool operator==(const Note&) const = default;
};

// Everything the model needs to predict every fingering.
struct Geometry {
    double length = 0;                  // top of the air column to the foot, m
    double boreDiameter = 0;            // m; used when `boreProfile` is empty
    std::vector<BorePoint> boreProfile; // from the top down; empty: a cylinder of `boreDiameter`
    double wall = 0;                    // tube wall thickness, m
    std::vector<Hole> holes;            // any number, in any order
    Mouth mouth;
    double windowHeight = kDefaultWindowHeight; // fipple/embouchure calibration value, m
    double strouhal = kDefaultStrouhal;         // the blowing level of a played note
    Air air;
    std::vector<double> targets;              // Hz, one per default fingering, or none
    std::vector<std::string> extraFingerings; // fingering strings, the top hole first
    std::vector<Note> notes;                  // notes with their own targets, any register

    bool operator==(const Geometry&) const = default;
};

// How far below the top the bore proper, where holes may sit, begins: below
// a fipple's window, or below the edge of an embouchure hole. m.
double mouth_extent(const Mouth& mouth);

// The top of the bore to the splitting edge or the embouchure's centre: the
// length of the headspace inside the bore's profile, m.
double mouth_position(const Mouth& mouth);

// The bore diameter `fromTop` metres below the top, interpolated along the
// profile (the end points held beyond it).
double bore_diameter_at(const Geometry& geometry, double fromTop);

// The holes ordered from the top hole down to the bottom one, as fingering
// strings list them.
std::vector<Hole> holes_top_first(const Geometry& geometry);

// Why a geometry was refused: the field (named as in the geometry file, e.g.
// "holes[2].diameter_mm") and what is wrong with it.
struct GeometryFault {
    std::string field;
    std::string message;
};

// "holes[2].diameter_mm: the hole is wider than the bore".
std::string describe(const GeometryFault& fault);

// The first thing in `geometry` the model cannot compute from: a non-positive
// or non-finite size, a size or count no instrument has (size_limits.h), a
// hole beyond the tube, overlapping another or wider than the bore, a bore
// profile not descending, a bad extra fingering or a wrong number of targets.
// Nothing is to be computed from a refused geometry.
std::optional<GeometryFault> validate(const Geometry& geometry);

} // namespace sorrel::tuning
