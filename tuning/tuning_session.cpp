#include "tuning/tuning_session.h"

#include "model/text_format.h"
#include "tuning/design_geometry.h"
#include "tuning/fingering.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <map>
#include <string_view>

namespace sorrel::tuning {
namespace {

constexpr double kMmPerMetre = 1000;
// A diameter read back from the calculator's single-precision field is the
// one applied when it lies this close.
constexpr double kSameDiameter = 1e-7; // m

bool same_lengths(const Geometry& a, const Geometry& b) {
    if (a.length != b.length || a.holes.size() != b.holes.size())
        return false;
    for (std::size_t k = 0; k < a.holes.size(); ++k) {
        if (a.holes[k].fromFoot != b.holes[k].fromFoot ||
            a.holes[k].diameter != b.holes[k].diameter)
            return false;
    }
    return true;
}

double& calibration_of(Geometry& geometry) {
    return geometry.mouth.kind == MouthKind::Closed ? geometry.mouth.addedLength
                                                    : geometry.windowHeight;
}

// Hole k must lie above hole k - 1, so that numbering by place and by row agree.
std::optional<std::string> crossing(const std::vector<Hole>& holes) {
    for (std::size_t k = 1; k < holes.size(); ++k) {
        if (holes[k].fromFoot <= holes[k - 1].fromFoot)
            return format("Holes %zu and %zu, from foot: hole %zu must lie above hole %zu "
                          "(%.2f mm against %.2f mm); a hole keeps its number, so it cannot pass "
                          "its neighbour",
                          k, k + 1, k + 1, k, holes[k].fromFoot * kMmPerMetre,
                          holes[k - 1].fromFoot * kMmPerMetre);
    }
    return std::nullopt;
}

} // namespace

std::string field_label(const std::string& field) {
    static const std::map<std::string, std::string> kLabels = {
        {"length_mm", "Length, top to foot"},
        {"temperature_c", "Air temperature"},
        {"mouth.window_height_mm", "Window height"},
        {"mouth.added_length_mm", "Added mouthpiece length"},
        {"from_foot_mm", "from foot"},
        {"diameter_mm", "diameter"},
    };
    constexpr std::string_view kHoles = "holes[";
    const std::size_t close = field.find("].");
    std::size_t index = 0;
    if (field.starts_with(kHoles) && close != std::string::npos &&
        std::from_chars(field.data() + kHoles.size(), field.data() + close, index).ptr ==
            field.data() + close) {
        const auto part = kLabels.find(field.substr(close + 2));
        if (part != kLabels.end())
            return format("Hole %zu, %s", index + 1, part->second.c_str());
    }
    const auto label = kLabels.find(field);
    return label != kLabels.end() ? label->second : field;
}

double ratio_spread(const std::vector<double>& ratios) {
    if (ratios.empty())
        return 0;
    const auto [smallest, largest] = std::minmax_element(ratios.begin(), ratios.end());
    return (*largest / *smallest - 1) * 100;
}

std::string cutoff_text(const Geometry& geometry) {
    if (geometry.targets.size() <= geometry.holes.size())
        return {}; // a ratio is over the note its hole opens
    const std::vector<double> ratios = cutoff_ratios(geometry);
    std::string text = "Cutoff ratios from hole 1 up:";
    for (const double ratio : ratios)
        text += format(" %.3f", ratio);
    return text + format("\nThe largest is %.1f %% above the smallest.", ratio_spread(ratios));
}

DesignOffer TuningSession::offer_design(const CircuitRecord& record, int slot, std::string& error) {
    const DesignGeometry read = geometry_from_design(record);
    if (!read.geometry) {
        error = read.error;
        return DesignOffer::Refused;
    }
    Geometry geometry = *read.geometry;
    std::stable_sort(geometry.holes.begin(), geometry.holes.end(),
                     [](const Hole& a, const Hole& b) { return a.fromFoot < b.fromFoot; });
    const bool first = design_.holes.empty();
    if (!first && slot == slot_ && geometry == design_) {
        record_ = record; // the same instrument: the maker's work stays
        waiting_.reset();
        return DesignOffer::Shown;
    }
    if (!first && lengths_edited()) {
        waiting_.emplace(record, geometry);
        waitingSlot_ = slot;
        return DesignOffer::Waiting;
    }
    waiting_.reset();
    show_design(record, geometry, slot);
    return DesignOffer::Shown;
}

void TuningSession::show_design(const CircuitRecord& record, const Geometry& geometry, int slot) {
    if (geometry.holes.size() != design_.holes.size()) {
        custom_.clear();
        measured_.clear();
    }
    matches_.clear();
    const Air air = asBuilt_.air;
    const bool first = design_.holes.empty();
    record_ = record;
    slot_ = slot;
    design_ = geometry;
    asBuilt_ = geometry;
    if (!first)
        asBuilt_.air = air;
    calibration_of(asBuilt_) = calibration_value();
    fitted_.reset();
    drills_.reset();
    predictable_ = false;
}

void TuningSession::take_waiting_design() {
    if (!waiting_)
        return;
    const auto [record, geometry] = *waiting_;
    waiting_.reset();
    show_design(record, geometry, waitingSlot_);
}

void TuningSession::keep_as_built() {
    if (!waiting_)
        return;
    const Geometry kept = asBuilt_;
    const std::optional<Geometry> fitted = fitted_;
    const std::optional<std::vector<Drill>> drills = drills_;
    take_waiting_design();
    if (kept.holes.size() != asBuilt_.holes.size())
        return;
    asBuilt_.length = kept.length;
    asBuilt_.holes = kept.holes;
    fitted_ = fitted;
    drills_ = drills;
}

void TuningSession::reset_to_design() {
    const Air air = asBuilt_.air;
    const double calibration = calibration_of(asBuilt_);
    const double strouhal = asBuilt_.strouhal; // the player's, not the design's
    asBuilt_ = design_;
    asBuilt_.air = air;
    calibration_of(asBuilt_) = calibration;
    asBuilt_.strouhal = strouhal;
    drills_.reset();
    predictable_ = false;
}

bool TuningSession::lengths_edited() const {
    return !same_lengths(asBuilt_, design_);
}

std::optional<std::string> TuningSession::take_as_built(Geometry edited) {
    predictable_ = false;
    edited.extraFingerings.clear();
    for (const CustomFingering& row : custom_)
        edited.extraFingerings.push_back(row.fingering);
    if (const auto crossed = crossing(edited.holes))
        return crossed;
    if (const auto fault = validate(edited))
        return field_label(fault->field) + ": " + fault->message;
    const double calibration = calibration_of(edited);
    if (calibration != calibration_value())
        calibrations_[slot_] = {edited.mouth.kind, calibration, {}};
    if (!(edited == asBuilt_))
        matches_.clear(); // the residuals were of other values
    if (drills_) {
        for (std::size_t k = 0; k < edited.holes.size(); ++k) {
            if (std::abs(edited.holes[k].diameter - (*drills_)[k].diameter) > kSameDiameter)
                drills_.reset();
            if (!drills_)
                break;
        }
    }
    asBuilt_ = std::move(edited);
    predictable_ = true;
    return std::nullopt;
}

void TuningSession::take_fit(const PitchFit& fit) {
    if (!fit.geometry)
        return;
    asBuilt_.length = fit.geometry->length;
    asBuilt_.holes = fit.geometry->holes;
    fitted_ = asBuilt_;
    drills_.reset();
    if (!fit.holes.empty() && !fit.holes.front().drill.empty()) {
        drills_.emplace();
        for (const FittedHole& hole : fit.holes)
            drills_->push_back({hole.diameter, hole.drill});
    }
}

double TuningSession::calibration_value() const {
    const auto own = calibrations_.find(slot_);
    if (own != calibrations_.end() && own->second.kind == design_.mouth.kind)
        return own->second.value;
    Geometry design = design_;
    return calibration_of(design);
}

std::string TuningSession::calibration_source() const {
    const auto own = calibrations_.find(slot_);
    const bool closed = design_.mouth.kind == MouthKind::Closed;
    if (own == calibrations_.end() || own->second.kind != design_.mouth.kind)
        return closed ? "The design's added length: not calibrated"
                      : "The design's window height: not calibrated";
    const std::vector<NoteMatch>& notes = own->second.notes;
    if (notes.empty())
        return format("Typed in for slot %d", slot_ + 1);
    if (notes.size() == 1)
        return format("Calibrated for slot %d on %s at %.2f Hz", slot_ + 1,
                      notes[0].fingering.c_str(), notes[0].measured);
    return format("Calibrated for slot %d on %zu measured notes", slot_ + 1, notes.size());
}

std::optional<std::string> TuningSession::set_measured(const std::string& fingering,
                                                       std::optional<double> hertz) {
    if (hertz && !(*hertz > 0 && std::isfinite(*hertz)))
        return "Fingering " + fingering +
               ", Measured: enter the frequency in Hz above 0, or leave it empty";
    matches_.clear();
    if (hertz)
        measured_[fingering] = *hertz;
    else
        measured_.erase(fingering);
    return std::nullopt;
}

std::optional<double> TuningSession::measured(const std::string& fingering) const {
    const auto found = measured_.find(fingering);
    return found != measured_.end() ? std::optional<double>(found->second) : std::nullopt;
}

void TuningSession::set_measured_as_played(bool played) {
    if (played != measuredPlayed_)
        matches_.clear();
    measuredPlayed_ = played;
}

std::optional<std::string> TuningSession::calibrate() {
    std::vector<MeasuredPitch> notes;
    for (const std::string& row : row_fingerings()) {
        std::string error;
        if (const auto hertz = measured(row))
            notes.push_back(
                {*parse_fingering(row, asBuilt_.holes.size(), error), *hertz, measuredPlayed_});
    }
    if (notes.empty())
        return std::string("Measured: enter the frequency of at least one fingering in Hz");
    const NotesCalibration fitted = calibrate_notes(asBuilt_, notes);
    if (!fitted.geometry)
        return "Measured: " + fitted.error;
    asBuilt_.windowHeight = fitted.geometry->windowHeight;
    asBuilt_.mouth.addedLength = fitted.geometry->mouth.addedLength;
    asBuilt_.strouhal = fitted.geometry->strouhal;
    calibrations_[slot_] = {design_.mouth.kind, calibration_of(asBuilt_), fitted.matches};
    matches_ = fitted.matches;
    return std::nullopt;
}

std::optional<NoteMatch> TuningSession::residual(const std::string& fingering) const {
    for (const NoteMatch& match : matches_) {
        if (match.fingering == fingering)
            return match;
    }
    return std::nullopt;
}

std::vector<std::string> TuningSession::row_fingerings() const {
    std::vector<std::string> rows;
    for (const Fingering& row : default_fingerings(design_.holes.size()))
        rows.push_back(fingering_text(row));
    for (const CustomFingering& row : custom_)
        rows.push_back(row.fingering);
    return rows;
}

std::optional<std::string> TuningSession::add_custom(const std::string& fingering,
                                                     std::optional<double> target) {
    std::string error;
    if (!parse_fingering(fingering, design_.holes.size(), error))
        return "New fingering: " + error;
    const std::vector<std::string> listed = row_fingerings();
    if (std::find(listed.begin(), listed.end(), fingering) != listed.end())
        return "New fingering: " + fingering + " is listed already";
    if (target && !(*target > 0 && std::isfinite(*target)))
        return std::string("Target: enter a frequency in Hz above 0, or leave it empty");
    custom_.push_back({fingering, target});
    asBuilt_.extraFingerings.push_back(fingering);
    return std::nullopt;
}

void TuningSession::remove_custom(std::size_t row) {
    if (row >= custom_.size())
        return;
    set_measured(custom_[row].fingering, std::nullopt);
    custom_.erase(custom_.begin() + std::ptrdiff_t(row));
    asBuilt_.extraFingerings.erase(asBuilt_.extraFingerings.begin() + std::ptrdiff_t(row));
}

std::vector<FingeringResult> TuningSession::predict() const {
    std::vector<FingeringResult> results = tuning::predict(asBuilt_);
    const std::size_t first = results.size() - custom_.size();
    for (std::size_t row = 0; row < custom_.size(); ++row) {
        FingeringResult& result = results[first + row];
        result.target = custom_[row].target;
        if (result.target && result.first)
            result.cents = cents_between(*result.first, *result.target);
    }
    return results;
}

std::vector<double> TuningSession::apply_drills() {
    std::vector<double> sizes;
    if (!drills_)
        return sizes;
    for (const Drill& drill : *drills_)
        sizes.push_back(drill.diameter * kMmPerMetre);
    applied_[slot_] = {asBuilt_, *drills_};
    return sizes;
}

std::string TuningSession::positions_source() const {
    if (same_lengths(asBuilt_, design_))
        return "the calculator's design";
    if (fitted_ && same_lengths(asBuilt_, *fitted_))
        return "fitted to pitch";
    return "as built";
}

std::optional<AppliedFit> TuningSession::applied_fit(const CircuitRecord& record, int slot) const {
    const auto applied = applied_.find(slot);
    const DesignGeometry read = geometry_from_design(record);
    if (applied == applied_.end() || !read.geometry)
        return std::nullopt;
    const std::vector<Hole>& holes = read.geometry->holes;
    const std::vector<Drill>& drills = applied->second.drills;
    if (holes.size() != drills.size())
        return std::nullopt;
    for (std::size_t k = 0; k < holes.size(); ++k) {
        if (std::abs(holes[k].diameter - drills[k].diameter) > kSameDiameter)
            return std::nullopt;
    }
    return applied->second;
}

} // namespace sorrel::tuning
