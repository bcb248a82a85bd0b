#include "files/design_file.h"

#include "model/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

namespace sorrel {
namespace {

constexpr std::size_t kHeaderLines = 7;

std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A design whose every field holds its own value, exact in six decimals.
CircuitRecord varied_circuit(std::size_t slot) {
    CircuitRecord c = default_circuit();
    float next = static_cast<float>(slot) * 1000.0f;
    const auto value = [&next] { return next += 1.125f; };
    c.FILENAME.assign("slot" + std::to_string(slot) + ".srl");
    c.DESC.assign("Low whistle " + std::to_string(slot));
    c.MATL.assign("Maple");
    c.DIVS = 4;
    c.UNIT = slot % 3 == 0 ? UNIT_METRIC : UNIT_ENGLISH;
    for (float* field :
         {&c.BORE, &c.BRCT, &c.THIK, &c.THCT, &c.BASE, &c.GEO, &c.EMBH, &c.EMBV, &c.MAXP, &c.AVCU,
          &c.AVRA, &c.TOCU, &c.TORA, &c.LBRA, &c.THLN, &c.THIN, &c.DIST, &c.SPSD})
        *field = value();
    c.GEO = -c.GEO;
    for (NoteArray* array : {&c.FR, &c.DI, &c.DC, &c.HI, &c.NM, &c.HS, &c.LC, &c.OP, &c.CL, &c.NE,
                             &c.PR, &c.RA, &c.DV, &c.FS, &c.PI, &c.PM, &c.CU, &c.BDI, &c.BDC})
        std::generate(array->begin(), array->end(), value);
    std::generate(c.SP.begin(), c.SP.end(), value);
    int32_t number = -static_cast<int32_t>(slot) * 100;
    std::generate(c.SEQ.begin(), c.SEQ.end(), [&number] { return ++number; });
    std::generate(c.SEQI.begin(), c.SEQI.end(), [&number] { return ++number; });
    c.NOTI = ++number;
    return c;
}

TEST(DesignFileWriter, WritesTheFixedShapeWithLineFeedsOnly) {
    const DesignState state = startup_state();
    const std::string text = write_design_text(state.bank, state.corrections);
    const std::vector<std::string> lines = lines_of(text);

    EXPECT_EQ(lines.size(), 6648u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6648);
    EXPECT_TRUE(text.ends_with("\n[EOF]\n"));
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const std::vector<std::string> header = {";SORREL - Version 3.3  (Apr 2017)",
                                             "FILENAME=tone.srl",
                                             ";",
                                             "AUTO=1",
                                             "EMBCOR= 0.25",
                                             "ENDCOR= 0.61",
                                             "CHMCOR= 0.61"};
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + kHeaderLines), header);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "TOCU0.000000"), 40);
    EXPECT_EQ(text.find("TOCU="), std::string::npos);
    EXPECT_EQ(lines[kHeaderLines + 39 * 166 + 2], "[CIRCUIT]=39");
}

TEST(DesignFileWriter, SectionLinesStandInFileOrder) {
    const DesignState state = startup_state();
    const std::vector<std::string> lines =
        lines_of(write_design_text(state.bank, state.corrections));
    // Line numbers count from 1 within the section of slot 0.
    const std::pair<std::size_t, std::string> expected[] = {
        {1, ";--------------------------------------------------------"},
        {2, ";"},
        {3, "[CIRCUIT]=0"},
        {4, "DESC="},
        {5, "DIVS=2"},
        {7, "UNIT=85"},
        {8, "BORE=0.500000"},
        {10, "THIK=0.031250"},
        {12, "SEQ1=2"},
        {14, "SEQ3=1"},
        {18, ";"},
        {19, "SEQI0=0"},
        {26, "NOTI=29"},
        {27, "BASE=587.330017"},
        {28, "GEO=0.650000"},
        {30, "EMBV=0.250000"},
        {31, "FR00=587.330017"},
        {32, "DI00=0.000000"},
        {41, "PR00=0.000000"},
        {43, "DI01=0.203125"},
        {98, "DI06=0.187500"},
        {107, "PR06=0.000000"},
        {108, ";"},
        {109, "MAXP=0.000000"},
        {123, "DV06=0.000000"},
        {125, "AVRA=0.000000"},
        {127, "TOCU0.000000"},
        {129, "FS00=0.000000"},
        {149, "PM06=0.000000"},
        {153, "SP03=0.000000"},
        {154, "LBRA=0.000000"},
        {157, "DIST=0.000000"},
        {158, "SPSD=34500.000000"},
        {159, "CU00=440.000000"},
        {165, "CU06=440.000000"},
        {166, "[END]"},
    };
    for (const auto& [number, text] : expected)
        EXPECT_EQ(lines[kHeaderLines + number - 1], text) << "section line " << number;
}

TEST(DesignFileRoundTrip, RestoresEveryWrittenFieldButTocu) {
    CircuitBank written;
    for (std::size_t i = 0; i < written.slot.size(); ++i)
        written.slot[i] = varied_circuit(i);
    const GlobalCorrections corrections{0, 0.3f, 0.6133f, 0.5f};
    const DesignState before = startup_state();
    CircuitBank bank = before.bank;
    GlobalCorrections readCorrections;

    EXPECT_TRUE(
        read_design_text(write_design_text(written, corrections), bank, readCorrections).empty());

    EXPECT_EQ(readCorrections, (GlobalCorrections{0, 0.3f, 0.61f, 0.5f}));
    for (std::size_t i = 0; i < bank.slot.size(); ++i) {
        CircuitRecord expected = written.slot[i];
        const CircuitRecord& old = before.bank.slot[i];
        expected.TOCU = old.TOCU;
        if (i != 0) // only slot 0's name is in the file
            expected.FILENAME = old.FILENAME;
        expected.BDI = old.BDI;
        expected.BDC = old.BDC;
        if (expected.UNIT == UNIT_METRIC)
            scale_bore_at_holes(expected, kSwitchToMm);
        EXPECT_TRUE(bank.slot[i] == expected) << "slot " << i;
    }
    EXPECT_EQ(bank.slot[0].UNIT, UNIT_METRIC);
    EXPECT_EQ(bank.slot[0].BDI[3], 0.5f * 25.4f);
    EXPECT_EQ(bank.slot[0].DESC.view(), "Low whistle 0");
}

TEST(DesignFileReader, MetricSlotReadAsEnglishConvertsBoreAtHoles) {
    CircuitBank bank = startup_state().bank;
    bank.slot[4].UNIT = UNIT_METRIC;
    bank.slot[4].BDI.fill(12.7f);
    GlobalCorrections corrections;

    read_design_text("[CIRCUIT]=4\nUNIT=85\n", bank, corrections);

    EXPECT_EQ(bank.slot[4].UNIT, UNIT_ENGLISH);
    EXPECT_EQ(bank.slot[4].BDI[0], 12.7f * 0.03937f);
}

// A text read into the start-up bank, and what it changes there; nothing
// else may change.
struct ReadCase {
    const char* name;
    std::string text;
    std::function<void(CircuitBank&, GlobalCorrections&)> change;
};

void PrintTo(const ReadCase& readCase, std::ostream* out) {
    *out << readCase.name;
}

class DesignFileReadCase : public testing::TestWithParam<ReadCase> {};

TEST_P(DesignFileReadCase, ChangesOnlyWhatTheLinesSet) {
    const DesignState start = startup_state();
    CircuitBank bank = start.bank;
    GlobalCorrections corrections = start.corrections;
    CircuitBank expectedBank = start.bank;
    GlobalCorrections expectedCorrections = start.corrections;
    GetParam().change(expectedBank, expectedCorrections);

    EXPECT_TRUE(read_design_text(GetParam().text, bank, corrections).empty());

    EXPECT_EQ(corrections, expectedCorrections);
    for (std::size_t i = 0; i < bank.slot.size(); ++i)
        EXPECT_TRUE(bank.slot[i] == expectedBank.slot[i]) << "slot " << i;
}

const std::string kLongDesc = "DESC=" + std::string(73, 'a'); // 78 characters

INSTANTIATE_TEST_SUITE_P(
    Quirks, DesignFileReadCase,
    testing::Values(
        ReadCase{"OnlyTheNamedSlot", "[CIRCUIT]=5\nBORE=0.75\n[EOF]\n",
                 [](auto& b, auto&) { b.slot[5].BORE = 0.75f; }},
        ReadCase{"LinesBeforeTheFirstCircuitGoToSlotZero", "DIVS=4\n[CIRCUIT]=3\nDIVS=3\n",
                 [](auto& b, auto&) {
                     b.slot[0].DIVS = 4;
                     b.slot[3].DIVS = 3;
                 }},
        ReadCase{"SectionsInAnyOrderTheLastValueWins",
                 "[CIRCUIT]=9\nNOTI=5\n[CIRCUIT]=2\nNOTI=6\n[CIRCUIT]=9\nNOTI=7\n",
                 [](auto& b, auto&) {
                     b.slot[9].NOTI = 7;
                     b.slot[2].NOTI = 6;
                 }},
        ReadCase{"UnitsKeySetsTheUnitAndConvertsTheBoreAtHoles", "UNITS=170\n",
                 [](auto& b, auto&) {
                     b.slot[0].UNIT = UNIT_METRIC;
                     b.slot[0].BDI.fill(0.5f * 25.4f);
                 }},
        ReadCase{"UnitKeyAsWrittenToo", "[CIRCUIT]=1\nUNIT=170\n",
                 [](auto& b, auto&) {
                     b.slot[1].UNIT = UNIT_METRIC;
                     b.slot[1].BDI.fill(0.5f * 25.4f);
                 }},
        ReadCase{"UnitChangedAndBackConvertsNothing", "UNIT=170\nUNITS=85\n", [](auto&, auto&) {}},
        ReadCase{"OtherUnitCodeConvertsNothing", "UNIT=3\n",
                 [](auto& b, auto&) { b.slot[0].UNIT = 3; }},
        ReadCase{"Sp04SetsTheLengthBoreRatio", "SP04=2.5\nSP03=1.5\n",
                 [](auto& b, auto&) {
                     b.slot[0].LBRA = 2.5f;
                     b.slot[0].SP[3] = 1.5f;
                 }},
        ReadCase{"TocuOnlyWithItsEqualsSign", "TOCU=12.5\n[CIRCUIT]=1\nTOCU7.5\n",
                 [](auto& b, auto&) { b.slot[0].TOCU = 12.5f; }},
        ReadCase{"OtherSpellingsAndCommentsMatchNothing",
                 "bore=0.9\n BORE=0.9\nBORE =0.9\nBore=0.9\n;BORE=0.9\n\n[END]\nXYZ=1\n",
                 [](auto&, auto&) {}},
        ReadCase{"EofStopsReading", "BORE=0.75\n[EOF]\nBORE=0.9\n[CIRCUIT]=4\nDIVS=4\n",
                 [](auto& b, auto&) { b.slot[0].BORE = 0.75f; }},
        ReadCase{"WithoutEofReadsToTheEnd", "[CIRCUIT]=6\nNOTI=12",
                 [](auto& b, auto&) { b.slot[6].NOTI = 12; }},
        ReadCase{"CarriageReturnsStayInTexts",
                 "FILENAME=a.srl\r\nDESC=Maple\r\nMATL=Box wood\r\nBORE=0.75\r\nDIVS=4\r\n",
                 [](auto& b, auto&) {
                     b.slot[0].FILENAME.assign("a.srl\r");
                     b.slot[0].DESC.assign("Maple\r");
                     b.slot[0].MATL.assign("Box wood\r");
                     b.slot[0].BORE = 0.75f;
                     b.slot[0].DIVS = 4;
                 }},
        ReadCase{"DescIsTheWholeLine", "DESC=  Two words \n",
                 [](auto& b, auto&) { b.slot[0].DESC.assign("  Two words "); }},
        ReadCase{"TextsAreCutToTheirFields",
                 "FILENAME=" + std::string(69, 'f') + "\n" + kLongDesc + "\n",
                 [](auto& b, auto&) {
                     b.slot[0].FILENAME.assign(std::string(63, 'f'));
                     b.slot[0].DESC.assign(std::string(27, 'a'));
                 }},
        ReadCase{"RestOfALongLineIsNeverANewLine", kLongDesc + "BORE=0.9\nDIVS=4\n",
                 [](auto& b, auto&) {
                     b.slot[0].DESC.assign(std::string(27, 'a'));
                     b.slot[0].DIVS = 4;
                 }},
        ReadCase{"CircuitOutsideTheBankIgnoredUntilAValidOne",
                 "[CIRCUIT]=40\nBORE=0.9\nAUTO=0\nEMBCOR=0.3\n[CIRCUIT]=-1\nBORE=0.8\n"
                 "[CIRCUIT]=39\nBORE=0.7\n",
                 [](auto& b, auto& c) {
                     c.AUTO = 0;
                     c.EMBCOR = 0.3f;
                     b.slot[39].BORE = 0.7f;
                 }},
        ReadCase{"UnparsableCircuitKeepsTheTarget", "[CIRCUIT]=7\n[CIRCUIT]=x\n[CIRCUIT]\nDIVS=4\n",
                 [](auto& b, auto&) { b.slot[7].DIVS = 4; }},
        ReadCase{"CircuitSkipsAnyOneCharacter", "[CIRCUIT]:12\nDIVS=4\n[CIRCUIT]13\nDIVS=3\n",
                 [](auto& b, auto&) {
                     b.slot[12].DIVS = 4;
                     b.slot[3].DIVS = 3;
                 }},
        ReadCase{"UnparsableValuesKeepTheirFields", "BORE=abc\nDIVS=\nSEQ1=x\nAUTO=-\n",
                 [](auto&, auto&) {}},
        ReadCase{"NumbersParseAsFarAsTheyGo", "DIVS=4.7\nBORE=1e-1x\nSEQ3=-2\nGEO= +.5\n",
                 [](auto& b, auto&) {
                     b.slot[0].DIVS = 4;
                     b.slot[0].BORE = 0.1f;
                     b.slot[0].SEQ[2] = -2;
                     b.slot[0].GEO = 0.5f;
                 }},
        ReadCase{"FilenameGoesToTheTargetSlot", "[CIRCUIT]=2\nFILENAME=b.srl\n",
                 [](auto& b, auto&) { b.slot[2].FILENAME.assign("b.srl"); }},
        ReadCase{"GlobalsAreAcceptedAnywhere", "[CIRCUIT]=3\nAUTO=0\nCHMCOR=0.5\n",
                 [](auto&, auto& c) {
                     c.AUTO = 0;
                     c.CHMCOR = 0.5f;
                 }}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(DesignFileVersionRules, OldCorrectionsAreReplacedEndCorrectionFirst) {
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;

    const auto messages = read_design_text("CHMCOR=0.75\nENDCOR= 0.75\n", bank, corrections);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Changed Parameter in New Version");
    EXPECT_EQ(messages[0].title, "Changed End Correction to 0.6133");
    EXPECT_EQ(messages[1].text, "Changed Parameter in New Version");
    EXPECT_EQ(messages[1].title, "Changed Chimney Correction to 0.6133");
    EXPECT_EQ(corrections.ENDCOR, 0.6133f);
    EXPECT_EQ(corrections.CHMCOR, 0.6133f);
}

TEST(DesignFileVersionRules, ApplyToValuesInMemoryAfterEveryRead) {
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;
    corrections.ENDCOR = 0.75f;

    const auto messages = read_design_text("BORE=0.5", bank, corrections);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Changed End Correction to 0.6133");
    EXPECT_EQ(corrections.ENDCOR, 0.6133f);
    EXPECT_EQ(corrections.CHMCOR, 0.6133f);
    EXPECT_TRUE(read_design_text("ENDCOR=0.7500001\n", bank, corrections).empty());
}

class DesignFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "sorrel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string path(const char* name) const { return (directory_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(directory_),
                          std::filesystem::directory_iterator()));
    }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void put(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::filesystem::path directory_;
    DesignState state_ = startup_state();
};

TEST_F(DesignFileOnDisk, SaveReplacesTheFileKeepingItsPermissionsAndLoadReadsItBack) {
    const std::string file = path("tone.srl");
    put(file, "previous");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    state_.bank.slot[1].BORE = 0.625f;

    const WriteOutcome saved = write_design_file(file, state_.bank, state_.corrections);

    ASSERT_TRUE(saved.written) << saved.error;
    EXPECT_EQ(contents(file), write_design_text(state_.bank, state_.corrections));
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(entries(), 1u);
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;
    const ReadOutcome loaded = read_design_file(file, bank, corrections);
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(bank.slot[1].BORE, 0.625f);
}

TEST_F(DesignFileOnDisk, SaveIntoAMissingDirectoryReportsWhy) {
    const std::string file = path("missing/tone.srl");

    const WriteOutcome saved = write_design_file(file, state_.bank, state_.corrections);

    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.error, file + ": No such file or directory");
}

TEST_F(DesignFileOnDisk, SaveOverADirectoryFailsAndLeavesNothingBehind) {
    const std::string target = path("tone.srl");
    std::filesystem::create_directory(target);

    const WriteOutcome saved = write_design_file(target, state_.bank, state_.corrections);

    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.error, target + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(DesignFileOnDisk, SaveFailingHalfwayKeepsThePreviousFile) {
    const std::string file = path("tone.srl");
    put(file, "previous");
    // Files may grow to 4 KiB only, so the write fails after its first part.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteOutcome saved = write_design_file(file, state_.bank, state_.corrections);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.error, file + ": File too large");
    EXPECT_EQ(contents(file), "previous");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(DesignFileOnDisk, SaveOverAReadOnlyFileIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const std::string file = path("tone.srl");
    put(file, "previous");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);

    const WriteOutcome saved = write_design_file(file, state_.bank, state_.corrections);

    EXPECT_FALSE(saved.written);
    EXPECT_EQ(saved.error, file + ": Permission denied");
    EXPECT_EQ(contents(file), "previous");
}

TEST_F(DesignFileOnDisk, LoadOfAFileThatCannotBeReadChangesNothing) {
    state_.corrections.ENDCOR = 0.75f;
    const DesignState before = state_;
    std::filesystem::create_directory(path("folder"));

    for (const std::string& file : {path("missing.srl"), path("folder")}) {
        const ReadOutcome loaded = read_design_file(file, state_.bank, state_.corrections);
        EXPECT_FALSE(loaded.opened);
        EXPECT_TRUE(loaded.error.starts_with(file + ": ")) << loaded.error;
        EXPECT_TRUE(loaded.messages.empty());
        EXPECT_TRUE(state_.bank == before.bank);
        EXPECT_EQ(state_.corrections, before.corrections);
    }
}

} // namespace
} // namespace sorrel
