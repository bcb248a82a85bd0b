// `sorrel-cli tune` run as a maker runs it, in a fresh folder per test.

#include "cli_folder.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <tuple>

namespace {

using namespace cli_folder;
using nlohmann::json;

// A folder and the measured high D whistle with its targets.
class TuneCommand : public CliFolder {
protected:
    void SetUp() override {
        CliFolder::SetUp();
        std::ifstream in(SORREL_TEST_DATA "/tuning/high_d_whistle.json");
        whistle_ = json::parse(in)["geometry"];
        whistle_["targets_hz"] = {587.33, 659.26, 739.99, 783.99, 880.0, 987.77, 1108.73};
    }
    // Writes the whistle as it stands now, as w.json.
    void write_whistle() const { write("w.json", whistle_.dump()); }

    json whistle_;
};

TEST_F(TuneCommand, PrintsEveryFingeringAndFitsTheWindowHeightToAMeasuredNote) {
    write_whistle();
    const CliRun r = run("tune w.json --fingering oxxooo --temperature 20 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    EXPECT_EQ(out["window_height_mm"], 2.5);
    EXPECT_EQ(out["temperature_c"], 20); // the file says 28
    ASSERT_EQ(out["fingerings"].size(), 8u);
    const json& bottom = out["fingerings"][0];
    EXPECT_EQ(bottom["target_hz"], 587.33);
    ASSERT_EQ(bottom["resonance_hz"].size(), 2u);
    // Hz and cents are printed to two decimals: 0.005 Hz is 0.015 cents here.
    const double first = bottom["resonance_hz"][0];
    EXPECT_NEAR(double(bottom["cents"]), 1200 * std::log2(first / 587.33), 0.02);
    const double stretch = 1200 * std::log2(double(bottom["resonance_hz"][1]) / (2 * first));
    EXPECT_NEAR(double(bottom["octave_stretch_cents"]), stretch, 0.02);
    EXPECT_EQ(out["fingerings"][6]["fingering"], "oooooo");
    EXPECT_EQ(out["fingerings"][7]["fingering"], "oxxooo");

    // Fitted to a measured note, the window height gives that note: at the
    // top of its range, or as played.
    for (const auto& [option, key] :
         {std::pair{"--measured-top", "top_hz"}, std::pair{"--measured", "played_hz"}}) {
        const CliRun fit = run(std::string("tune w.json --json ") + option + " xxxxxo=672.5");
        ASSERT_EQ(fit.status, 0) << fit.err;
        const json fitted = json::parse(fit.out);
        EXPECT_EQ(fitted["fingerings"][1][key], 672.5) << option;
        EXPECT_NE(fitted["window_height_mm"], 2.5);
        EXPECT_EQ(fitted["measured"][0]["mode"], 1);
        EXPECT_EQ(fitted["measured"][0]["residual_cents"], 0);
    }
    const CliRun text = run("tune w.json --measured xxxxxo=672.5");
    EXPECT_NE(text.out.find("(fitted to xxxxxo = 672.50 Hz), air at 28.0 C"), std::string::npos)
        << text.out;
}

// The whistle's second-octave D is vented: oxxxxx's lowest resonance is a
// weak one below the played note, which is the next mode up.
TEST_F(TuneCommand, PredictsNotesInAnyRegisterWithTheirMode) {
    write_whistle();
    const CliRun r = run("tune w.json --note oxxxxx=1174.7 --note xxxxoo=1468.3 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    ASSERT_EQ(out["fingerings"].size(), 9u);
    // The measured tops of these two notes' ranges (see the data file).
    const std::tuple<const char*, int, double> notes[] = {{"oxxxxx", 2, 1222}, {"xxxxoo", 2, 1531}};
    for (std::size_t i = 0; i < 2; ++i) {
        const json& row = out["fingerings"][7 + i];
        const auto& [fingering, mode, top] = notes[i];
        EXPECT_EQ(row["fingering"], fingering);
        EXPECT_EQ(row["mode"], mode) << fingering;
        EXPECT_NEAR(double(row["top_hz"]), top, top * 0.02) << fingering;
        EXPECT_LT(row["played_hz"], row["top_hz"]) << fingering;
    }
    const json& classes = out["classes_from_target"];
    ASSERT_EQ(classes.size(), 3u);
    EXPECT_EQ(classes[1]["class"], "cross-fingered and vented");
    EXPECT_EQ(classes[1]["notes"], 1);
    EXPECT_EQ(classes[2]["notes"], 1);
    EXPECT_EQ(classes[0]["notes"], 7);
}

TEST_F(TuneCommand, AClosedMouthpieceReportsItsAddedLength) {
    whistle_["mouth"] = {{"kind", "closed"}, {"added_length_mm", 8}};
    whistle_.erase("targets_hz");
    write_whistle();
    const json out = json::parse(run("tune w.json --json").out);
    EXPECT_EQ(out["added_length_mm"], 8);
    EXPECT_FALSE(out.contains("window_height_mm"));
    EXPECT_NE(run("tune w.json").out.find("added length 8.00 mm (not calibrated)"),
              std::string::npos);
    EXPECT_EQ(run("tune w.json --window-height 2").status, 1);
}

TEST_F(TuneCommand, AResonanceNotFoundIsNullAndExitsThree) {
    whistle_["targets_hz"][0] = 880.0; // the bottom note sounds near 590 Hz
    write_whistle();
    const CliRun r = run("tune w.json --json");
    EXPECT_EQ(r.status, 3);
    const json bottom = json::parse(r.out)["fingerings"][0];
    EXPECT_TRUE(bottom["resonance_hz"][0].is_null() && bottom["cents"].is_null());
    EXPECT_NE(run("tune w.json").out.find("not found"), std::string::npos);
    EXPECT_EQ(run("tune w.json --measured xxxxxx=300").status, 3);
}

TEST_F(TuneCommand, ExitStatusTellsWhatWentWrong) {
    whistle_["fingerings"] = {"xxxxxo"}; // an option's fingering comes after the file's
    write_whistle();
    expect_refusals(
        {
            {"tune missing.json", 2, "missing.json: "},
            {"tune w.json --bogus", 1, R"(unknown option for tune: "--bogus")"},
            {"tune w.json --slot 1", 1, "--slot applies to a design file"},
            {"tune w.json --measured xxxxxx", 1, "--measured needs FINGERING=HZ"},
            {"tune w.json --measured xxxxx=600", 1, "--measured: the fingering names 5 holes"},
            {"tune w.json --fingering xxq", 1,
             R"(--fingering "xxq": a fingering is written with x (closed) and o (open) only)"},
            {"tune w.json --measured-top xxxxxx=600 --measured-top xxxxo=700", 1,
             "--measured-top: the fingering names 5 holes"},
            {"tune w.json --note oxxxxx=-1", 1, "--note needs FINGERING=HZ"},
            {"tune w.json --note oxxxxz=1174", 1,
             R"(--note "oxxxxz": a fingering is written with x (closed) and o (open) only)"},
            {"tune w.json --measured-top xxxxxx=640", 3,
             "--measured: no window height from 0 to 20 mm brings xxxxxx to the measured"},
            {"tune w.json --temperature warm", 1, "--temperature needs a number"},
            {"tune", 1, "tune needs a design file or a geometry file"},
        },
        "missing.json");
    EXPECT_EQ(run("tune --help").status, 0);
}

// Only a regular file of at most 16 MiB is read, as design files are: a FIFO
// must not hold the command (timeout gives 124), an endless device must not
// fill the memory, a folder is refused as one.
TEST_F(TuneCommand, ReadsRegularFilesOnlyAndRefusesWithTheReason) {
    ASSERT_EQ(shell("mkfifo fifo.json && mknod zero.json c 1 5 && mkdir folder.json folder.srl && "
                    "truncate -s 16777217 huge.json")
                  .status,
              0);
    const std::pair<const char*, const char*> cases[] = {
        {"fifo.json", "fifo.json: not a regular file"},
        {"zero.json", "zero.json: not a regular file"},
        {"folder.json", "folder.json: Is a directory"},
        {"folder.srl", "folder.srl: Is a directory"},
        {"huge.json", "huge.json: File too large"},
    };
    for (const auto& [name, says] : cases) {
        SCOPED_TRACE(name);
        const CliRun refused = shell("timeout 10 '" SORREL_CLI "' tune " + std::string(name));
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(says), std::string::npos) << refused.err;
    }
}

// A key or option is shown quoted, escaped and cut: a 10 MB key is not
// echoed whole, an escape sequence never reaches the terminal raw.
TEST_F(TuneCommand, MessagesQuoteWhatTheyWereGivenShortenedAndEscaped) {
    whistle_["\x1b]0;owned\x07" + std::string(10'000'000, 'k')] = 1;
    write_whistle();
    const CliRun key = run("tune w.json");
    EXPECT_EQ(key.status, 2);
    EXPECT_EQ(key.err, "sorrel-cli: w.json: unknown key \"\\x1b]0;owned\\x07" +
                           std::string(30, 'k') + "...\"\n");
    const CliRun option = run("tune w.json \"$(printf -- '--\\033[2J')\"");
    EXPECT_EQ(option.status, 1);
    EXPECT_NE(option.err.find(R"(unknown option for tune: "--\x1b[2J")"), std::string::npos)
        << option.err;
}

TEST_F(TuneCommand, ReadsTheCalculatedSlotOfADesign) {
    ASSERT_EQ(run("new d.srl").status, 0);
    ASSERT_EQ(run("calc d.srl --slot 3").status, 0);
    const json out = json::parse(run("tune d.srl --slot 3 --json").out);
    ASSERT_EQ(out["fingerings"].size(), 7u);
    EXPECT_NEAR(double(out["fingerings"][0]["target_hz"]), 587.33, 0.01); // the start-up D5
}

} // namespace
