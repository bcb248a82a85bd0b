// Runs `sorrel-cli fit` as a user would, in a fresh folder per test.

#include "cli_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

namespace {

using cli_folder::CliRun;
using cli_folder::words_of;
using nlohmann::json;
namespace fs = std::filesystem;

// The D whistle of the fit tests with a cross-fingering to predict, its top
// hole `topHoleMm` wide.
std::string whistle(double topHoleMm) {
    json whistle = json::parse(cli_folder::read_text(SORREL_TEST_DATA "/tuning/d_whistle.json"));
    whistle["holes"][5]["diameter_mm"] = topHoleMm;
    whistle["fingerings"] = {"xoxxxx"};
    return whistle.dump();
}

class FitCli : public cli_folder::CliFolder {
protected:
    void SetUp() override {
        CliFolder::SetUp();
        write("whistle.json", whistle(6.5));
    }
};

// The fitted geometry goes to the output file as the JSON gives it (its
// notes are checked by the fit's own tests); the JSON gives each hole's
// position in mm, inches and its 1/64 inch mark.
TEST_F(FitCli, WritesTheFittedGeometryAndEachHolesPosition) {
    const CliRun fit = run("fit whistle.json --json -o fitted.json");
    ASSERT_EQ(fit.status, 0) << fit.err;
    const json out = json::parse(fit.out);
    EXPECT_EQ(json::parse(cli_folder::read_text(file("fitted.json"))), out.at("geometry"));
    const json& holes = out.at("holes");
    ASSERT_EQ(holes.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k) {
        const double mm = holes[k].at("from_foot_mm").get<double>();
        EXPECT_EQ(holes[k].at("hole").get<int>(), int(k) + 1);
        EXPECT_DOUBLE_EQ(out["geometry"]["holes"][k].at("from_foot_mm").get<double>(), mm);
        EXPECT_NEAR(holes[k].at("from_foot_in").get<double>(), mm / 25.4, 1e-9);
        EXPECT_NEAR(holes[k].at("fraction_error_mm").get<double>(),
                    std::round(mm / 25.4 * 64) * 25.4 / 64 - mm, 1e-9);
        EXPECT_TRUE(holes[k].at("drill").is_null());
    }
    EXPECT_EQ(out["cross_fingerings"][0].at("fingering"), "xoxxxx");
}

// The choice's progress is shown to someone at a terminal, never to a script.
TEST_F(FitCli, ChosenDrillsComeFromTheSetWithinItsRange) {
    const CliRun fit = run("fit whistle.json --drills metric-half --drill-range 5:8 --json");
    ASSERT_EQ(fit.status, 0) << fit.err;
    EXPECT_EQ(fit.err, "");
    const CliRun watched = shell("script -qec \"'" SORREL_CLI
                                 "' fit whistle.json --drills metric-half >/dev/null\" /dev/null");
    EXPECT_NE(watched.out.find("\rsorrel-cli: choosing drills: 100 %\r\n"), std::string::npos)
        << watched.out;
    const json out = json::parse(fit.out);
    for (const json& hole : out.at("holes")) {
        const double mm = hole.at("diameter_mm").get<double>();
        EXPECT_TRUE(mm >= 5.0 - 1e-9 && mm <= 8.0 + 1e-9) << mm;
        EXPECT_NEAR(mm * 2, std::round(mm * 2), 1e-9) << "not a half millimetre";
        char label[16];
        std::snprintf(label, sizeof label, "%.1f mm", mm);
        EXPECT_EQ(hole.at("drill").get<std::string>(), label);
    }
}

// Usage errors exit 1, unreadable or refused files 2, a failed fit or
// rescue 3; none writes the output file.
TEST_F(FitCli, RefusesWithTheExitCodeOfEachFailure) {
    write("broken.json", R"({"length_mm": 272,)");
    write("tiny.json", whistle(1.0));
    json wide = json::parse(whistle(6.5));
    wide["constraints"] = {{"min_gap_mm", "wide"}};
    write("wide.json", wide.dump());
    ASSERT_EQ(run("new tone.srl").status, 0);
    expect_refusals(
        {
            {"fit", 1, "fit needs a design file or a geometry file"},
            {"fit whistle.json --slot 2", 1, "a geometry file has none"},
            {"fit whistle.json --drills 5,x", 1, "\"x\" is not a diameter"},
            {"fit whistle.json --drills", 1, "--drills needs"},
            {"fit whistle.json --max-spread 0", 1, "--max-spread needs"},
            {"fit whistle.json --drills metric --drill-range 9:5", 1, "--drill-range needs"},
            {"fit whistle.json --drill-range 5:9", 1, "limits the set that --drills names"},
            {"fit whistle.json --drills fractional --drill-range 1.2:1.3", 1, "leaves no drill"},
            {"fit whistle.json --bogus", 1, R"(unknown option for fit: "--bogus")"},
            {"fit tone.srl --slot 1 -o out.json", 2, "slot 1: the design has no finished Calc"},
            {"fit broken.json -o out.json", 2, "broken.json: not valid JSON"},
            {"fit tiny.json -o out.json", 3, "hole 6 would leave the tube"},
            {"fit whistle.json -o no/such/folder/out.json", 2, "no/such/folder/out.json"},
            {"fit whistle.json --pdf no/such/folder/out.pdf", SORREL_CLI_PDF ? 2 : 1,
             SORREL_CLI_PDF ? "cannot write no/such/folder/out.pdf" : "not in this build"},
            {"fit whistle.json -o ''", 1, "-o needs a file name"},
            {"fit whistle.json -o - --json", 1, "cannot share it"},
            {"fit '' -o out.json", 1, "name is empty"},
            {"fit whistle.json --fix-hole 0 -o out.json", 1, "--fix-hole needs"},
            {"fit whistle.json --fix-hole 3 --fix-hole 3=80 -o out.json", 1, "--fix-hole needs"},
            {"fit whistle.json --hole-diameter 9:5 -o out.json", 1, "--hole-diameter needs"},
            {"fit whistle.json --min-gap -1 -o out.json", 1, "--min-gap needs"},
            {"fit whistle.json --fix-hole 3=30 -o out.json", 3, "hole 3, fixed at 30.0 mm"},
            {"fit wide.json -o out.json", 2, "constraints.min_gap_mm: must be a number"},
            {"rescue whistle.json -o out.json", 1, "rescue needs the notes measured"},
            {"rescue whistle.json --measured xoxxxx=700 -o out.json", 1,
             "\"xoxxxx\" is not one of the scale's 7 fingerings"},
            {"rescue whistle.json --measured xxxxxx=0 -o out.json", 1, "--measured needs"},
            {"rescue missing.json --measured xxxxxx=580 -o out.json", 2, "missing.json"},
            {"rescue whistle.json --measured xxxxxx=300 -o out.json", 3, "calibration failed"},
        },
        "out.json");
}

// Every hole row of the printed table is on the page, word for word.
TEST_F(FitCli, PdfHoldsTheFitTableOrIsRefusedWithoutQt) {
    const CliRun pdf = run("fit whistle.json --pdf fit.pdf");
    if (!SORREL_CLI_PDF)
        GTEST_SKIP() << "this build has no PDF output";
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_TRUE(pdf.out.empty());
    const CliRun text = shell("pdftotext -layout fit.pdf -");
    ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) failed: " << text.err;
    EXPECT_NE(text.out.find("Fit to pitch: whistle.json"), std::string::npos) << text.out;
    const std::string page = words_of(text.out);
    std::istringstream rows(run("fit whistle.json").out);
    int holeRows = 0;
    for (std::string row; std::getline(rows, row);)
        if (row.size() > 4 && row.substr(0, 3) == "   " && row[3] >= '1' && row[3] <= '6') {
            ++holeRows;
            EXPECT_NE(page.find(words_of(row)), std::string::npos) << row;
        }
    EXPECT_EQ(holeRows, 6);
}

// A run writes every output or none: a PDF that cannot be written leaves
// the geometry file as it was; "-" is standard output.
TEST_F(FitCli, WritesEveryOutputOrNoneAndDashIsStandardOutput) {
    write("keep.json", "kept");
    const CliRun failed = run("fit whistle.json -o keep.json --pdf missing/out.pdf");
    EXPECT_EQ(failed.status, SORREL_CLI_PDF ? 2 : 1) << failed.err;
    EXPECT_EQ(cli_folder::read_text(file("keep.json")), "kept");

    const CliRun geometry = run("fit whistle.json -o -");
    ASSERT_EQ(geometry.status, 0) << geometry.err;
    EXPECT_EQ(json::parse(geometry.out).at("holes").size(), 6u);
    EXPECT_FALSE(fs::exists(file("-")));
    if (SORREL_CLI_PDF) {
        const CliRun pdf = run("fit whistle.json --pdf - -o fitted.json");
        ASSERT_EQ(pdf.status, 0) << pdf.err;
        EXPECT_EQ(pdf.out.rfind("%PDF", 0), 0u);
        EXPECT_TRUE(fs::exists(file("fitted.json")));
    }
}

// A hole fixed on the command line or in the geometry file's constraints
// stays at the millimetre given.
TEST_F(FitCli, KeepsAFixedHoleFromTheCommandLineOrTheFile) {
    json fixed = json::parse(whistle(6.5));
    fixed["constraints"] = {{"holes", {{{"hole", 3}, {"fixed", true}, {"from_foot_mm", 80}}}}};
    write("fixed.json", fixed.dump());
    for (const char* command :
         {"fit whistle.json --fix-hole 3=80 --json", "fit fixed.json --json"}) {
        SCOPED_TRACE(command);
        const CliRun fit = run(command);
        ASSERT_EQ(fit.status, 0) << fit.err;
        EXPECT_NEAR(json::parse(fit.out)["holes"][2].at("from_foot_mm").get<double>(), 80, 0.01);
    }
}

// The rescue writes a corrected geometry that tune reads, shorter at the
// foot, or says why it cannot.
TEST_F(FitCli, RescueWritesAGeometryTuneReadsOrRefuses) {
    const std::string notes = " --measured xxxxxx=580 xxxxxo=650 xxxxoo=730 xxxooo=775 "
                              "xxoooo=870 xooooo=975 oooooo=1095";
    const CliRun rescue = run("rescue whistle.json" + notes + " -o fixed.json");
    ASSERT_EQ(rescue.status, 0) << rescue.err;
    EXPECT_NE(rescue.out.find("1. Trim "), std::string::npos) << rescue.out;
    EXPECT_EQ(run("tune fixed.json").status, 0);
    EXPECT_LT(json::parse(cli_folder::read_text(file("fixed.json"))).at("length_mm").get<double>(),
              json::parse(whistle(6.5)).at("length_mm").get<double>());
    const CliRun unwritable = run("rescue whistle.json" + notes + " -o no/such/out.json");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("cannot write no/such/out.json"), std::string::npos);
}

} // namespace
