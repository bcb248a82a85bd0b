#pragma once
// One design (a "circuit"): its inputs and every result of the tonehole
// calculation, the bank of forty of them, and the corrections all designs
// share.
//
// Data flows one way through the program: the panel's fields are text views
// of `workingCircuit`; a command reads them in, the model computes on the
// record, the panel shows the record. The bank changes only when a Calc
// completes, on Prev/Next, and on Load.

#include "model/fixed_text.h"

#include <array>
#include <cstdint>
#include <optional>

namespace sorrel {

inline constexpr int32_t UNIT_ENGLISH = 85; // lengths entered in inches
inline constexpr int32_t UNIT_METRIC = 170; // lengths entered in millimetres

inline constexpr int kNoteCount = 7;  // bottom note (element 0) and holes 1..6
inline constexpr int kSlotCount = 40; // designs held in the bank

// Element k belongs to note k: 0 is the bottom note (all holes closed, its
// "hole" the foot end), k = 1..6 the note with holes 1..k open.
using NoteArray = std::array<float, kNoteCount>;

// Field names are the design file's keys. Lengths marked "entry" are in the
// unit `UNIT` names; "cm" fields are centimetres whatever `UNIT` says.
struct CircuitRecord {
    FixedText<64> FILENAME;        // design file name
    FixedText<28> DESC;            // description, one word
    int32_t DIVS = 0;              // wave divisor: 2 half wave (flutes), 4 quarter wave
    FixedText<28> MATL;            // material, one word
    int32_t UNIT = 0;              // UNIT_ENGLISH or UNIT_METRIC
    float BORE = 0;                // bore inside diameter, entry
    float BRCT = 0;                // bore, cm
    float THIK = 0;                // wall thickness, entry
    float THCT = 0;                // wall thickness, cm
    std::array<int32_t, 6> SEQ{};  // SEQ1..SEQ6: semitone steps from note k-1 to note k
    std::array<int32_t, 7> SEQI{}; // note-table row of each note
    int32_t NOTI = 0;              // note-table row of the first note
    float BASE = 0;                // first note, Hz (9999 marks the custom row)
    float EMBH = 0;                // embouchure hole length, entry (0: circular hole)
    float EMBV = 0;                // embouchure hole width or diameter, entry
    NoteArray FR{};                // note frequencies, Hz
    NoteArray DI{};                // hole diameters, entry
    NoteArray DC{};                // hole diameters, cm; element 0 the bore at the foot
    NoteArray HI{};                // chimney heights, cm
    NoteArray NM{};                // nominal lengths, cm
    NoteArray HS{};                // spacing to the next open hole below, cm
    NoteArray LC{};                // local cutoff frequencies, Hz
    NoteArray OP{};                // open-hole corrections, cm; element 0 the open end
    NoteArray CL{};                // closed-hole corrections, cm
    NoteArray NE{};                // hole positions from the acoustic top, cm
    NoteArray PR{};                // positions of the previous pass, cm
    float MAXP = 0;                // largest position change of the last pass, %
    NoteArray RA{};                // cutoff ratios
    NoteArray DV{};                // cutoff ratio deviations, %
    float AVCU = 0;                // average local cutoff, Hz
    float AVRA = 0;                // average cutoff ratio
    float TOCU = 0;                // sum of the local cutoffs, Hz
    float TORA = 0;                // sum of the cutoff ratios
    NoteArray FS{};                // carried in design files only
    NoteArray PI{};                // hole centres from the foot end, inches
    NoteArray PM{};                // hole centres from the foot end, mm
    std::array<float, 4> SP{};     // between centres of holes 1-2, 2-3, 4-5, 5-6; mm when metric
    float LBRA = 0;                // length/bore ratio
    float THLN = 0;                // embouchure area figure (cm² × 6.4516)
    float THIN = 0;                // carried in design files only
    float DIST = 0;                // block-to-end length, mm
    float GEO = 0;                 // geometric correction factor (shown and stored only)
    float SPSD = 0;                // speed of sound, cm/s
    NoteArray CU{};                // custom note frequencies, Hz
    NoteArray BDI{};               // bore diameter at the foot (0) and at each hole, entry
    NoteArray BDC{};               // the same in cm

    bool operator==(const CircuitRecord&) const = default;
};

// Coefficients shared by every design; saved in the design file's header.
struct GlobalCorrections {
    int32_t AUTO = 1;       // Auto Recalc: slot changes and nudges recalculate
    float EMBCOR = 0.25f;   // embouchure correction coefficient
    float ENDCOR = 0.6133f; // open-end correction, times the bore radius
    float CHMCOR = 0.6133f; // chimney coefficient, times the hole diameter

    bool operator==(const GlobalCorrections&) const = default;
};

struct CircuitBank {
    std::array<CircuitRecord, kSlotCount> slot{}; // slot[i] is slot i, shown as i + 1
    int currentIndex = 0;                         // the slot `workingCircuit` belongs to

    bool operator==(const CircuitBank&) const = default;
};

// Everything the program holds about designs, alive for the whole run.
struct DesignState {
    CircuitRecord workingCircuit; // the design on the panel
    CircuitBank bank;
    GlobalCorrections corrections;
    int32_t nativeFlute = 0; // set by every Calc: steps are 3-2-2-1-2-2
};

// The start-up design: first note D5, major-scale steps, frequencies by the
// semitone ratio, English units.
CircuitRecord default_circuit();

// The state at start-up: `default_circuit` in `workingCircuit` and in all
// forty slots, slot 0 current, the default corrections.
DesignState startup_state();

// Copies `workingCircuit`, every field, into slot `currentIndex`.
void store_working_circuit(DesignState& state);

enum class SlotStep { Previous, Next };

// Stores the working design, steps `currentIndex` with wrap-around and makes
// that slot the working design.
void select_slot(DesignState& state, SlotStep step);

// What becoming the working design does to a slot's record: a divisor other
// than 2 or 4 becomes 2, and `NOTI` follows the note-table row whose frequency
// equals `BASE`, if there is one. Returns that row.
std::optional<int> normalize_slot_record(CircuitRecord& circuit);

} // namespace sorrel
