// The geometry file: millimetres in, metres inside, the same file back out,
// and every malformed field refused by its JSON path.

#include "tuning/geometry_json.h"
#include "tuning/tuning_model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using namespace sorrel::tuning;
using nlohmann::json;

json whistle_json() {
    return json::parse(R"({
      "length_mm": 270.7, "wall_mm": 0.35, "temperature_c": 22, "humidity_percent": 50,
      "bore_profile_mm": [[0, 10.0], [25.0, 11.9], [272.9, 11.9]],
      "holes": [{"from_foot_mm": 148.0, "diameter_mm": 5.0},
                {"from_foot_mm": 127.5, "diameter_mm": 6.6, "wall_mm": 0.5}],
      "mouth": {"kind": "fipple", "window_length_mm": 5.2, "window_width_mm": 8.2,
                "window_height_mm": 2.9},
      "targets_hz": [587.33, 659.26, 739.99], "fingerings": ["ox"]
    })");
}

TEST(GeometryJson, ReadsMillimetresIntoMetres) {
    const GeometryRead read = read_geometry_json(whistle_json().dump());
    ASSERT_TRUE(read.geometry) << read.error;
    const Geometry& g = *read.geometry;
    EXPECT_DOUBLE_EQ(g.length, 0.2707);
    EXPECT_DOUBLE_EQ(g.boreProfile[1].fromTop, 0.025);
    EXPECT_DOUBLE_EQ(g.boreProfile[1].diameter, 0.0119);
    EXPECT_FALSE(g.holes[0].wall);
    EXPECT_DOUBLE_EQ(*g.holes[1].wall, 0.5e-3);
    EXPECT_DOUBLE_EQ(g.windowHeight, 2.9e-3);
    EXPECT_EQ(g.air.temperature, 22);
    EXPECT_EQ(g.air.co2Percent, 4); // breath by default
    EXPECT_EQ(g.extraFingerings, std::vector<std::string>{"ox"});
}

TEST(GeometryJson, WritesWhatItReadsBack) {
    for (const char* mouth :
         {R"({"kind": "embouchure", "length_mm": 10, "width_mm": 12, "headspace_mm": 17})",
          R"({"kind": "embouchure", "diameter_mm": 9.5})",
          R"({"kind": "closed", "added_length_mm": 12.5})"}) {
        json file = whistle_json();
        file["mouth"] = json::parse(mouth);
        const GeometryRead first = read_geometry_json(file.dump());
        ASSERT_TRUE(first.geometry) << first.error;
        const std::string written = write_geometry_json(*first.geometry);
        const GeometryRead second = read_geometry_json(written);
        ASSERT_TRUE(second.geometry) << second.error << "\n" << written;
        EXPECT_EQ(*second.geometry, *first.geometry) << written;
        json mouthWritten = json::parse(written)["mouth"];
        mouthWritten.erase("window_height_mm");
        EXPECT_EQ(mouthWritten, file["mouth"]);
    }
}

// The measured whistle with a rounded top, its window shorter than the
// headspace above the edge, and two notes of the second octave: the vented D
// on oxxxxx and the overblown E. Both are the second mode of their fingering,
// near the tops of their measured ranges (1222 and 1362 Hz).
TEST(GeometryJson, ARoundedTopAndNotesInAnyRegisterRoundTripAndPredict) {
    const GeometryRead read = read_geometry_json(R"({
      "length_mm": 270.7, "wall_mm": 0.35,
      "bore_profile_mm": [[0, 0], [2.0, 12.0], [270.7, 12.0]],
      "holes": [{"from_foot_mm": 148.0, "diameter_mm": 5.0}, {"from_foot_mm": 127.5, "diameter_mm": 6.6},
                {"from_foot_mm": 104.5, "diameter_mm": 5.6}, {"from_foot_mm": 82.0, "diameter_mm": 5.7},
                {"from_foot_mm": 64.5, "diameter_mm": 7.7}, {"from_foot_mm": 39.0, "diameter_mm": 6.9}],
      "mouth": {"kind": "fipple", "window_length_mm": 4.2, "window_width_mm": 8.2,
                "position_mm": 5.2, "window_height_mm": 2.9},
      "notes": [{"fingering": "oxxxxx", "target_hz": 1174.7},
                {"fingering": "xxxxxo", "target_hz": 1321.5}]
    })");
    ASSERT_TRUE(read.geometry) << read.error;
    const GeometryRead again = read_geometry_json(write_geometry_json(*read.geometry));
    ASSERT_TRUE(again.geometry) << again.error;
    EXPECT_EQ(*again.geometry, *read.geometry);
    const std::vector<FingeringResult> results = predict(*read.geometry);
    ASSERT_EQ(results.size(), 9u);
    const double tops[] = {1222, 1362};
    for (std::size_t i = 0; i < 2; ++i) {
        const FingeringResult& note = results[7 + i];
        ASSERT_TRUE(note.first && note.played) << note.fingering;
        EXPECT_EQ(note.mode, 2) << note.fingering;
        EXPECT_NEAR(*note.first, tops[i], tops[i] * 0.02) << note.fingering;
        EXPECT_LT(*note.played, *note.first) << note.fingering;
    }
}

TEST(GeometryJson, RefusesWithThePathOfTheFirstBadField) {
    using J = json&;
    // clang-format off
    const std::pair<void (*)(J), std::string> cases[] = { // how the message begins
        {[](J f) { f["lenght_mm"] = 1; }, R"(unknown key "lenght_mm")"},
        {[](J f) { f.erase("length_mm"); }, "length_mm: missing"},
        {[](J f) { f.erase("bore_profile_mm"); }, "bore_mm: missing"},
        {[](J f) { f["bore_profile_mm"] = json::array(); }, "bore_profile_mm: needs at least two points"},
        {[](J f) { f["bore_mm"] = 12; }, "bore_profile_mm: "},
        {[](J f) { f["bore_profile_mm"][1] = json::array({25}); }, "bore_profile_mm[1]: "},
        {[](J f) { f["bore_profile_mm"][2][1] = "11.9"; }, "bore_profile_mm[2][1]: must be a number"},
        {[](J f) { f["holes"][1]["diameter_mm"] = "6.6"; }, "holes[1].diameter_mm: must be a number"},
        {[](J f) { f["holes"][0]["dia_mm"] = 5; }, R"(holes[0]: unknown key "dia_mm")"},
        {[](J f) { f["holes"][1].erase("from_foot_mm"); }, "holes[1].from_foot_mm: missing"},
        {[](J f) { f["holes"][0]["diameter_mm"] = 13; },
         "holes[0].diameter_mm: the hole is wider than the bore"},
        {[](J f) { f["mouth"]["kind"] = "reed"; }, "mouth.kind: "},
        {[](J f) { f["mouth"].erase("window_width_mm"); }, "mouth.window_width_mm: missing"},
        {[](J f) { f["mouth"]["diameter_mm"] = 9; }, R"(mouth: unknown key "diameter_mm")"},
        {[](J f) { f["temperature_c"] = true; }, "temperature_c: must be a number"},
        {[](J f) { f["targets_hz"][2] = "A"; }, "targets_hz[2]: must be a number"},
        {[](J f) { f["fingerings"][0] = 3; }, "fingerings[0]: "},
        {[](J f) { f["bore_profile_mm"][0][1] = 0; }, "bore_profile_mm[0][1]: must be a number above"},
        {[](J f) { f["mouth"]["position_mm"] = 270.7; }, "mouth.position_mm: must lie between"},
        {[](J f) { f["notes"] = json::parse(R"([{"fingering": "xo", "target_hz": 0}])"); },
         "notes[0].target_hz: must be a number above 0"},
        {[](J f) { f["notes"] = json::parse(R"([{"fingering": "xo", "hz": 600}])"); },
         R"(notes[0]: unknown key "hz")"},
        {[](J f) { f["notes"] = json::array({json{{"fingering", "xo"}, {"target_hz", 600}}});
                   f["notes"] = std::vector<json>(101, f["notes"][0]); }, "notes: at most 100 notes"},
        {[](J f) { f["notes"] = json::parse(R"([{"fingering": "xxo", "target_hz": 600}])"); },
         "notes[0].fingering: the fingering names 3 holes"},
        {[](J f) { f = json::array(); }, "(top): "},
        // Sizes and counts no instrument has, refused before any work on them.
        {[](J f) { f["length_mm"] = 5000.01; }, "length_mm: must be at most 5000 mm"},
        {[](J f) { f["holes"] = std::vector<json>(41, f["holes"][0]); },
         "holes: at most 40 holes"},
        {[](J f) { for (int i = 0; i < 999; ++i) f["bore_profile_mm"].push_back({300 + i, 11.9}); },
         "bore_profile_mm: at most 1000 points"},
        {[](J f) { f["bore_profile_mm"][2] = {5000.5, 11.9}; }, "bore_profile_mm[2][0]: must be at most 5000 mm"},
        {[](J f) { f["bore_profile_mm"][0][1] = 150.01; }, "bore_profile_mm[0][1]: must be at most 150 mm"},
        {[](J f) { f["wall_mm"] = 50.01; }, "wall_mm: must be at most 50 mm"},
        {[](J f) { f["holes"][1]["wall_mm"] = 50.01; }, "holes[1].wall_mm: must be at most 50 mm"},
        {[](J f) { f["mouth"]["window_width_mm"] = 150.01; }, "mouth.window_width_mm: must be at most 150 mm"},
        {[](J f) { f["mouth"]["window_height_mm"] = 50.01; }, "mouth.window_height_mm: must be at most 50 mm"},
        {[](J f) { f["fingerings"] = std::vector<std::string>(101, "ox"); }, "fingerings: at most 100 fingerings"},
    };
    // clang-format on
    for (const auto& [spoil, error] : cases) {
        json file = whistle_json();
        spoil(file);
        const GeometryRead read = read_geometry_json(file.dump());
        EXPECT_FALSE(read.geometry) << error;
        EXPECT_EQ(read.error.substr(0, error.size()), error);
    }
}

// The largest instrument taken: a 5 m tube of the widest bore and thickest
// wall with 40 holes, a 1000-point profile and 100 extra fingerings.
TEST(GeometryJson, TakesTheLargestSizesThatAreNotRefused) {
    json file = whistle_json();
    file["length_mm"] = 5000;
    file["wall_mm"] = 50;
    file["bore_profile_mm"] = json::array();
    for (int i = 0; i < 1000; ++i)
        file["bore_profile_mm"].push_back({i * 5.005, 150});
    file["holes"] = json::array();
    for (int i = 0; i < 40; ++i)
        file["holes"].push_back(
            {{"from_foot_mm", 100 + 110 * i}, {"diameter_mm", 20}, {"wall_mm", 50}});
    file["mouth"] = {
        {"kind", "embouchure"}, {"length_mm", 150}, {"width_mm", 150}, {"headspace_mm", 5000}};
    file["targets_hz"] = std::vector<double>(41, 100);
    file["fingerings"] = std::vector<std::string>(100, std::string(40, 'x'));
    const GeometryRead read = read_geometry_json(file.dump());
    EXPECT_TRUE(read.geometry) << read.error;
}

// Text that is no JSON object the reader can trust: where the syntax breaks,
// as an editor counts lines and columns, and a key one object gives twice.
TEST(GeometryJson, RefusesBrokenSyntaxWithItsPlaceAndRepeatedKeys) {
    const std::pair<const char*, const char*> cases[] = {
        {"{\n  \"a\": @\n}", "not valid JSON at line 2, column 8"},
        {"{\"a\": [1, 2", "not valid JSON at line 1, column 12"},
        {"", "not valid JSON at line 1, column 1"},
        {R"({"length_mm": 1, "length_mm": 2})", R"(key "length_mm" given twice)"},
        {R"({"holes": [{"wall_mm": 1}], "wall_mm": 2})", "length_mm: missing"}, // one key each
        {R"({"holes": [{"wall_mm": 1}, {"wall_mm": 1, "wall_mm": 2}]})",
         R"(key "wall_mm" given twice)"},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(read_geometry_json(text).error, error) << text;
}

} // namespace
