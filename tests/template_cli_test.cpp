// sorrel-cli template, run as a user runs it, its PDF read with poppler.

#include "cli_folder.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

using namespace cli_folder;

// A folder holding tone.srl, its slot 0 calculated.
class TemplateCli : public CliFolder {
protected:
    void SetUp() override {
        CliFolder::SetUp();
        ASSERT_EQ(run("new tone.srl").status, 0);
        ASSERT_EQ(run("calc tone.srl --slot 0").status, 0);
    }
};

// Each hole's label and distance, as the design file holds the slot's
// positions (read through report --json, not through the template).
TEST_F(TemplateCli, DrawsTheCalculatedSlotsHoles) {
    const CliRun drawn = run("template tone.srl -o tone.pdf");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const nlohmann::json slot = nlohmann::json::parse(run("report tone.srl --json").out);
    const std::string text = shell("pdftotext tone.pdf -").out;
    const char* drills[] = {"13/64 in", "11/32 in", "3/16 in", "15/64 in", "15/64 in", "3/16 in"};
    for (int hole = 1; hole <= 6; ++hole) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.2f mm from the foot",
                      slot["PM"][static_cast<std::size_t>(hole)].get<double>());
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
        const std::string label = "Hole " + std::to_string(hole) + ", drill " + drills[hole - 1];
        EXPECT_NE(text.find(label), std::string::npos) << label;
    }
    EXPECT_NE(text.find("First note: D5 587.33 Hz"), std::string::npos);
    EXPECT_NE(text.find("cut here"), std::string::npos);
    EXPECT_NE(shell("pdfinfo tone.pdf").out.find("595 x 842 pts (A4)"), std::string::npos);

    const CliRun streamed = shell("'" SORREL_CLI "' template tone.srl -o - | pdftotext - -");
    EXPECT_EQ(streamed.out, text) << "-o - streams the same PDF to standard output";
    EXPECT_FALSE(fs::exists(file("-")));

    ASSERT_EQ(run("template tone.srl --paper letter -o letter.pdf").status, 0);
    EXPECT_NE(shell("pdfinfo letter.pdf").out.find("612 x 792 pts (letter)"), std::string::npos);
}

// A geometry file (the tuning check's) is drawn as it stands: holes numbered
// from the foot, an inch drill named as a fraction, a metric one in mm.
TEST_F(TemplateCli, DrawsAGeometryFile) {
    std::ofstream(file("pipe.json")) << R"({"length_mm": 300, "bore_mm": 15, "wall_mm": 2,
              "holes": [{"from_foot_mm": 120, "diameter_mm": 6.6},
                        {"from_foot_mm": 80, "diameter_mm": 7.9375}],
              "mouth": {"kind": "fipple", "window_length_mm": 5, "window_width_mm": 9}})";
    ASSERT_EQ(run("template pipe.json -o pipe.pdf").status, 0);
    const std::string text = shell("pdftotext pipe.pdf -").out;
    for (const char* expected : {"Hole 1, drill 5/16 in", "80.00 mm from the foot",
                                 "Hole 2, drill 6.6 mm", "120.00 mm from the foot", "cut here"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

// Nothing is written when the command is refused.
TEST_F(TemplateCli, RefusalsSayWhyAndWriteNothing) {
    expect_refusals(
        {
            {"template tone.srl --slot 3 -o out.pdf", 3,
             "slot 3: the design has no finished Calc: its block-to-end length is 0.00 mm"},
            {"template tone.srl --slot 40 -o out.pdf", 1,
             "--slot needs a slot number from 0 to 39"},
            {"template tone.srl --paper a5 -o out.pdf", 1, "--paper takes a4 or letter"},
            {"template tone.srl", 1, "template needs -o OUT.pdf"},
            {"template -o out.pdf", 1, "template needs a design file"},
            {"template missing.srl -o out.pdf", 2, "cannot read missing.srl"},
            {"template tone.srl -o no/such/out.pdf", 2, "cannot write no/such/out.pdf"},
            {"template pipe.json --slot 1 -o out.pdf", 1, "--slot applies to a design file"},
            {"template missing.json -o out.pdf", 2, "missing.json"},
        },
        "out.pdf");
}

// A slot holding sizes no instrument has is refused with the limit named,
// before a page is planned (a 1000 km tube once planned 4.4 million pages);
// tune refuses its geometry alike.
TEST_F(TemplateCli, RefusesSizesNoInstrumentHas) {
    const std::string tone = read_text(file("tone.srl"));
    // Read after the slot's own lines, a key line of slot 0 replaces its value.
    const auto with = [&tone](const std::string& line) {
        std::string text = tone;
        return text.insert(text.find("[END]"), line + "\n");
    };
    write("long.srl", with("DIST=1000000000"));
    write("wide.srl", with("DI03=6.0")); // inches: 152.4 mm
    expect_refusals(
        {
            {"template long.srl -o out.pdf", 3,
             "slot 0: the block-to-end length 1e+09 mm is over 5000 mm"},
            {"template wide.srl -o out.pdf", 3,
             "slot 0: hole 3's diameter 152.4 mm is over 150 mm"},
            {"tune long.srl", 2, "length_mm: must be at most 5000 mm"},
        },
        "out.pdf");
}

} // namespace
