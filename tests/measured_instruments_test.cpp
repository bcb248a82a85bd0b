// Three published instruments, each calibrated on its bottom note alone (the
// top of its playing range for the whistle and the fife, the pitch as played
// for the Native American flute), then every other measured note predicted:
// the fingering's resonance nearest the measurement, grouped by class. The
// files in tests/data/tuning/ cite their sources.

#include "tuning/calibration.h"
#include "tuning/geometry_json.h"
#include "tuning/note_class.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <map>

namespace {

using namespace sorrel::tuning;

struct Instrument {
    const char* file;
    const char* measuredKey;            // "max_hz": top of range; "played_hz": as played
    std::map<NoteClass, double> limits; // largest cents reached so far, per class
    std::map<int, int> modes;           // expected mode of the measured note at an index
};

TEST(MeasuredInstruments, ArePredictedWithinTheirClassLimits) {
    using enum NoteClass;
    // clang-format off
    const Instrument instruments[] = {
        {"high_d_whistle", "max_hz", {{FirstRegister, 9}, {CrossOrVented, 27}, {SecondRegister, 29}},
         {{6, 1}, {8, 2}, {9, 2}}},
        {"fife", "max_hz", {{FirstRegister, 46}, {CrossOrVented, 35}, {SecondRegister, 45}},
         {{9, 2}, {17, 3}, {19, 4}}},
        {"native_flute", "played_hz", {{FirstRegister, 18}, {CrossOrVented, 29}},
         {{2, 1}, {12, 2}}},
    };
    // clang-format on
    for (const Instrument& instrument : instruments) {
        std::ifstream in(std::string(SORREL_TEST_DATA "/tuning/") + instrument.file + ".json");
        const nlohmann::json file = nlohmann::json::parse(in);
        const GeometryRead read = read_geometry_json(file["geometry"].dump());
        ASSERT_TRUE(read.geometry) << read.error;
        const bool played = std::string(instrument.measuredKey) == "played_hz";
        std::vector<MeasuredPitch> notes;
        for (const nlohmann::json& row : file["measured"]) {
            std::string error;
            notes.push_back({*parse_fingering(row["fingering"].get<std::string>(), 6, error),
                             row[instrument.measuredKey].get<double>(), played});
        }
        const NotesCalibration bottom = calibrate_notes(*read.geometry, {notes[0]});
        ASSERT_TRUE(bottom.geometry) << bottom.error;
        const NotesCalibration all = calibrate_notes(*bottom.geometry, notes);
        std::map<NoteClass, std::vector<double>> cents;
        for (std::size_t i = 1; i < notes.size(); ++i) {
            const std::string text = fingering_text(notes[i].fingering);
            const FingeringResult result =
                predict_fingering(*bottom.geometry, notes[i].fingering, notes[i].frequency);
            ASSERT_TRUE(result.first && (result.played || !played))
                << instrument.file << " " << text;
            const double predicted = played ? *result.played : *result.first;
            const double off = cents_between(predicted, notes[i].frequency);
            cents[note_class(text, result.mode)].push_back(off);
            std::cout << instrument.file << " " << text << " mode " << result.mode << ": "
                      << predicted << " Hz, measured " << notes[i].frequency << " Hz, " << off
                      << " cents\n";
            EXPECT_LE(std::abs(off), instrument.limits.at(note_class(text, result.mode)))
                << instrument.file << " " << text;
            if (instrument.modes.contains(static_cast<int>(i))) {
                EXPECT_EQ(result.mode, instrument.modes.at(static_cast<int>(i))) << text;
            }
        }
        std::cout << instrument.file << ": window height " << bottom.geometry->windowHeight * 1e3
                  << " mm\n";
        for (const auto& [noteClass, list] : cents) {
            const Spread s = spread(list);
            std::cout << "  " << class_name(noteClass) << ": " << s.count << " notes, largest "
                      << s.largest << ", standard deviation " << s.deviation << " cents\n";
        }
        std::cout << "  all notes fitted (" << all.unknowns << " unknowns): window height "
                  << (all.geometry ? all.geometry->windowHeight * 1e3 : 0) << " mm, Strouhal "
                  << (all.geometry ? all.geometry->strouhal : 0) << "\n";
    }
}

} // namespace
