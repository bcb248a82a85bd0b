#pragma once
// What the Tuning window edits and decides, without the window: the design
// of the last Calc, the maker's as-built lengths, the calibration of each
// slot, the maker's own fingering rows and the drills chosen for the holes.
// Holes are kept from the foot up, so hole k is holes[k - 1] everywhere: in
// the window, on the template and in the calculator's hole fields.

#include "model/circuit_record.h"
#include "tuning/calibration.h"
#include "tuning/drill_choice.h"
#include "tuning/geometry.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

// What a new Calc did to the session.
enum class DesignOffer {
    Refused, // the slot has no finished Calc: nothing changed
    Shown,   // the as-built values are the new design's
    Waiting, // the maker had edited the as-built values: the new design waits
};

// How a slot's window height or added mouthpiece length was set.
struct SlotCalibration {
    MouthKind kind = MouthKind::Fipple;
    double value = 0;             // m
    std::vector<NoteMatch> notes; // the notes it was calibrated on; empty: typed in
};

// A fit handed to the calculator: its geometry and the drill of each hole.
struct AppliedFit {
    Geometry geometry;
    std::vector<Drill> drills;
};

// One of the maker's own fingering rows.
struct CustomFingering {
    std::string fingering;        // top hole first
    std::optional<double> target; // Hz, when the maker gave one
};

class TuningSession {
public:
    // Takes a slot's new Calc. The first design and an unedited as-built
    // follow it; edits of the length or the holes are kept and the new design
    // waits for take_waiting_design or keep_as_built. `error` says why a
    // slot is refused.
    DesignOffer offer_design(const CircuitRecord& record, int slot, std::string& error);
    bool design_waiting() const { return waiting_.has_value(); }
    // The waiting design with its own length and holes.
    void take_waiting_design();
    // The waiting design with the as-built length and holes.
    void keep_as_built();
    void reset_to_design();

    const CircuitRecord& design_record() const { return record_; }
    int slot() const { return slot_; }
    const Geometry& design() const { return design_; }
    const Geometry& as_built() const { return asBuilt_; }
    // Whether the as-built geometry holds what the window's fields show.
    bool predictable() const { return predictable_; }

    // Takes the fields' values: `edited` is as_built() with the length, the
    // holes, the temperature and the calibration value as typed. A hole moved
    // past its neighbour, and whatever the model cannot compute from, is
    // refused with the reason, in the window's own words.
    std::optional<std::string> take_as_built(Geometry edited);
    // A field holds no number: nothing is to be computed until it does.
    void refuse_fields() { predictable_ = false; }
    // The fit's length and positions (and drills) as the as-built values.
    void take_fit(const PitchFit& fit);

    // The slot's calibration value, its own when it was set for this slot
    // and this kind of mouth, else the design's; and how it was set.
    double calibration_value() const;
    std::string calibration_source() const;
    // A row's measured frequency in Hz, or none to clear it; refuses what is
    // not a frequency, naming the row.
    std::optional<std::string> set_measured(const std::string& fingering,
                                            std::optional<double> hertz);
    std::optional<double> measured(const std::string& fingering) const;
    // Whether the measured frequencies are a tuner's readings as played, or
    // the tops of the notes' ranges.
    void set_measured_as_played(bool played);
    bool measured_as_played() const { return measuredPlayed_; }
    // Fits the calibration value, and from two notes read as played the
    // blowing level too, on every measured row; empty on success, else why not.
    std::optional<std::string> calibrate();
    // How the last calibration met a row's measurement, while the
    // measurements and the as-built values are those it was made on.
    std::optional<NoteMatch> residual(const std::string& fingering) const;

    const std::vector<CustomFingering>& custom_fingerings() const { return custom_; }
    // Adds a row; refuses a fingering that is not one of x and o per hole,
    // one already listed, and a target that is not a frequency.
    std::optional<std::string> add_custom(const std::string& fingering,
                                          std::optional<double> target);
    void remove_custom(std::size_t row);
    // Every row's prediction, the maker's rows with their targets and cents.
    std::vector<FingeringResult> predict() const;

    // The drills of the last drill choice, per hole, while the holes still
    // have their diameters.
    const std::optional<std::vector<Drill>>& chosen_drills() const { return drills_; }
    // The chosen diameters in mm, hole 1 first, for the calculator's hole
    // fields; the fit is kept as the slot's applied fit.
    std::vector<double> apply_drills();
    // Where the as-built positions come from, as the template says it.
    std::string positions_source() const;
    // The fit applied to `slot`, when `record` still has its drills.
    std::optional<AppliedFit> applied_fit(const CircuitRecord& record, int slot) const;

private:
    void show_design(const CircuitRecord& record, const Geometry& geometry, int slot);
    bool lengths_edited() const;
    std::vector<std::string> row_fingerings() const;

    CircuitRecord record_;
    int slot_ = 0;
    Geometry design_;
    Geometry asBuilt_;
    bool predictable_ = false;
    std::optional<std::pair<CircuitRecord, Geometry>> waiting_;
    int waitingSlot_ = 0;
    std::map<int, SlotCalibration> calibrations_;
    std::map<std::string, double> measured_; // Hz, per fingering row
    bool measuredPlayed_ = true;
    std::vector<NoteMatch> matches_; // the last calibration's, while it stands
    std::vector<CustomFingering> custom_;
    std::optional<Geometry> fitted_; // the last fit's geometry
    std::optional<std::vector<Drill>> drills_;
    std::map<int, AppliedFit> applied_;
};

// The window's name of a geometry field: "holes[5].from_foot_mm" is
// "Hole 6, from foot"; a field the window does not show keeps its name.
std::string field_label(const std::string& field);

// Each hole's cutoff ratio and how far the largest lies above the smallest,
// in per cent, as the fit table prints them; empty without the holes' notes.
std::string cutoff_text(const Geometry& geometry);
double ratio_spread(const std::vector<double>& ratios);

} // namespace sorrel::tuning
