#pragma once
// Calibration on several measured notes: the mouth's unknown (a window
// height or lip coverage, or a closed mouthpiece's added length) and, from
// two or more notes with one heard as played, the blowing level, fitted by
// least squares over every note.

#include "tuning/tuning_model.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

// A note measured on the instrument.
struct MeasuredPitch {
    Fingering fingering;
    double frequency = 0; // Hz
    bool played = false;  // a tuner's reading as played; otherwise the top of the note's range
};

// How the calibrated model meets one measured note: the fingering's
// resonance nearest the measurement.
struct NoteMatch {
    std::string fingering; // "xxxxxx"
    double measured = 0;   // Hz
    bool played = false;
    int mode = 0;         // which resonance of the fingering, 1 the lowest
    double predicted = 0; // the model's top of range, or as played, Hz
    double residual = 0;  // predicted against measured, cents
};

struct NotesCalibration {
    std::optional<Geometry> geometry; // with the fitted values; empty when refused
    int unknowns = 0;                 // 1: the mouth; 2: the mouth and the blowing level
    std::vector<NoteMatch> matches;   // one per measured note, in their order
    std::string error;                // why it was refused
};

// Fits the unknowns to `measured` (at least one note) by least squares on
// the cents of every note.
NotesCalibration calibrate_notes(const Geometry& geometry,
                                 const std::vector<MeasuredPitch>& measured);

} // namespace sorrel::tuning
