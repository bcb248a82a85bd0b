#include "files/design_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

namespace sorrel {
namespace {

// The start-up bank's file is this header, then for each slot this rule, its
// number and these fields, then "[EOF]".
const std::string kHeader =
    ";SORREL - Version 3.3  (Apr 2017)\nFILENAME=tone.srl\n;\nAUTO=1\nEMBCOR= 0.25\n"
    "ENDCOR= 0.61\nCHMCOR= 0.61\n";
const std::string kSectionRule =
    ";--------------------------------------------------------\n;\n[CIRCUIT]=";
const std::string kStartupFields =
    "\nDESC=\nDIVS=2\nMATL=\nUNIT=85\nBORE=0.500000\nBRCT=1.270000\nTHIK=0.031250\n"
    "THCT=0.079375\nSEQ1=2\nSEQ2=2\nSEQ3=1\nSEQ4=2\nSEQ5=2\nSEQ6=2\n;\nSEQI0=0\nSEQI1=0\n"
    "SEQI2=0\nSEQI3=0\nSEQI4=0\nSEQI5=0\nSEQI6=0\nNOTI=29\nBASE=587.330017\nGEO=0.650000\n"
    "EMBH=0.250000\nEMBV=0.250000\nFR00=587.330017\nDI00=0.000000\nDC00=0.000000\n"
    "HI00=0.000000\nNM00=0.000000\nHS00=0.000000\nLC00=0.000000\nOP00=0.000000\nCL00=0.000000\n"
    "NE00=0.000000\nPR00=0.000000\nFR01=659.255737\nDI01=0.203125\nDC01=0.515938\n"
    "HI01=0.000000\nNM01=0.000000\nHS01=0.000000\nLC01=0.000000\nOP01=0.000000\nCL01=0.000000\n"
    "NE01=0.000000\nPR01=0.000000\nFR02=739.989624\nDI02=0.343750\nDC02=0.873125\n"
    "HI02=0.000000\nNM02=0.000000\nHS02=0.000000\nLC02=0.000000\nOP02=0.000000\nCL02=0.000000\n"
    "NE02=0.000000\nPR02=0.000000\nFR03=783.991760\nDI03=0.187500\nDC03=0.476250\n"
    "HI03=0.000000\nNM03=0.000000\nHS03=0.000000\nLC03=0.000000\nOP03=0.000000\nCL03=0.000000\n"
    "NE03=0.000000\nPR03=0.000000\nFR04=880.001038\nDI04=0.234375\nDC04=0.595312\n"
    "HI04=0.000000\nNM04=0.000000\nHS04=0.000000\nLC04=0.000000\nOP04=0.000000\nCL04=0.000000\n"
    "NE04=0.000000\nPR04=0.000000\nFR05=987.767883\nDI05=0.234375\nDC05=0.595312\n"
    "HI05=0.000000\nNM05=0.000000\nHS05=0.000000\nLC05=0.000000\nOP05=0.000000\nCL05=0.000000\n"
    "NE05=0.000000\nPR05=0.000000\nFR06=1108.732056\nDI06=0.187500\nDC06=0.476250\n"
    "HI06=0.000000\nNM06=0.000000\nHS06=0.000000\nLC06=0.000000\nOP06=0.000000\nCL06=0.000000\n"
    "NE06=0.000000\nPR06=0.000000\n;\nMAXP=0.000000\nRA00=0.000000\nDV00=0.000000\n"
    "RA01=0.000000\nDV01=0.000000\nRA02=0.000000\nDV02=0.000000\nRA03=0.000000\nDV03=0.000000\n"
    "RA04=0.000000\nDV04=0.000000\nRA05=0.000000\nDV05=0.000000\nRA06=0.000000\nDV06=0.000000\n"
    "AVCU=0.000000\nAVRA=0.000000\n;\nTOCU0.000000\nTORA=0.000000\nFS00=0.000000\n"
    "PI00=0.000000\nPM00=0.000000\nFS01=0.000000\nPI01=0.000000\nPM01=0.000000\nFS02=0.000000\n"
    "PI02=0.000000\nPM02=0.000000\nFS03=0.000000\nPI03=0.000000\nPM03=0.000000\nFS04=0.000000\n"
    "PI04=0.000000\nPM04=0.000000\nFS05=0.000000\nPI05=0.000000\nPM05=0.000000\nFS06=0.000000\n"
    "PI06=0.000000\nPM06=0.000000\nSP00=0.000000\nSP01=0.000000\nSP02=0.000000\nSP03=0.000000\n"
    "LBRA=0.000000\nTHLN=0.000000\nTHIN=0.000000\nDIST=0.000000\nSPSD=34500.000000\n"
    "CU00=440.000000\nCU01=440.000000\nCU02=440.000000\nCU03=440.000000\nCU04=440.000000\n"
    "CU05=440.000000\nCU06=440.000000\n[END]\n";

TEST(DesignFileWriter, WritesTheStartupBankByteForByte) {
    const DesignState state = startup_state();
    const std::string text = write_design_text(state.bank, state.corrections);
    std::string expected = kHeader;
    for (int slot = 0; slot < kSlotCount; ++slot)
        expected += kSectionRule + std::to_string(slot) + kStartupFields;
    EXPECT_EQ(text, expected + "[EOF]\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6648);
}

// A design whose every written field holds its own value, exact in six
// decimals. TOCU keeps its start-up value: it is written without "=", so it
// never comes back.
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
          &c.AVRA, &c.TORA, &c.LBRA, &c.THLN, &c.THIN, &c.DIST, &c.SPSD})
        *field = -value();
    for (NoteArray* array : {&c.FR, &c.DI, &c.DC, &c.HI, &c.NM, &c.HS, &c.LC, &c.OP, &c.CL, &c.NE,
                             &c.PR, &c.RA, &c.DV, &c.FS, &c.PI, &c.PM, &c.CU})
        std::generate(array->begin(), array->end(), value);
    std::generate(c.SP.begin(), c.SP.end(), value);
    int32_t number = -static_cast<int32_t>(slot) * 100;
    std::generate(c.SEQ.begin(), c.SEQ.end(), [&number] { return ++number; });
    std::generate(c.SEQI.begin(), c.SEQI.end(), [&number] { return ++number; });
    c.NOTI = ++number;
    return c;
}

// The bore at the holes is not in the file: a slot read as metric into the
// inch start-up bank has it converted.
TEST(DesignFileRoundTrip, RestoresEveryWrittenField) {
    CircuitBank written;
    for (std::size_t i = 0; i < written.slot.size(); ++i)
        written.slot[i] = varied_circuit(i);
    const std::string text = write_design_text(written, {0, 0.3f, 0.6133f, 0.5f});
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;

    EXPECT_TRUE(read_design_text(text, bank, corrections).empty());

    EXPECT_EQ(write_design_text(bank, corrections), text);
    EXPECT_EQ(corrections, (GlobalCorrections{0, 0.3f, 0.61f, 0.5f}));
    for (std::size_t i = 0; i < bank.slot.size(); ++i)
        EXPECT_EQ(bank.slot[i].BDI[3], i % 3 == 0 ? 0.5f * 25.4f : 0.5f) << "slot " << i;
}

// Each quirky text must leave the start-up bank as its plain equivalent does.
TEST(DesignFileReader, QuirksReadAsTheirPlainEquivalents) {
    // After a five-character key these fill a line to its 78 characters.
    const std::string blanks(73, ' ');
    const std::string longDesc = "DESC=" + std::string(73, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"UNITS=170\n[CIRCUIT]=2\nUNIT=170\nUNITS=85\n", "UNIT=170\n"},
        {"SP04=2.5\nSP03=1.5\n", "LBRA=2.5\nSP03=1.5\n"},
        {"[CIRCUIT]=1\nTOCU7.5\n", ""},
        {"bore=0.9\n BORE=0.9\nBORE =0.9\nBore=0.9\n;BORE=0.9\n\n[END]\nXYZ=1\n", ""},
        {"BORE=0.75\n[EOF]\nBORE=0.9\n[CIRCUIT]=4\nDIVS=4\n", "BORE=0.75\n"},
        {"DIVS=4\n[CIRCUIT]=9\nNOTI=5\n[CIRCUIT]=2\nNOTI=6\n[CIRCUIT]=9\nNOTI=7",
         "[CIRCUIT]=0\nDIVS=4\n[CIRCUIT]=2\nNOTI=6\n[CIRCUIT]=9\nNOTI=7\n"},
        {"BORE=0.75\r\nDIVS=4\r\n", "BORE=0.75\nDIVS=4\n"},
        {"BORE=" + blanks + "0.9\n" + longDesc + "BORE=0.9\nDIVS=4\n", longDesc + "\nDIVS=4\n"},
        // The number stands one character behind "[CIRCUIT]"; one that does
        // not parse keeps the target.
        {"[CIRCUIT]=40\nBORE=0.9\nAUTO=0\n[CIRCUIT]=-1\nBORE=0.8\n[CIRCUIT]=x\nBORE=0.6\n"
         "[CIRCUIT]:12\nDIVS=4\n",
         "AUTO=0\n[CIRCUIT]=12\nDIVS=4\n"},
        {"BORE=abc\nDIVS=4.7\nSEQ1=x\nGEO= +.5\n", "DIVS=4\nGEO=0.5\n"},
    };
    for (const auto& [quirky, plain] : cases) {
        SCOPED_TRACE(quirky);
        DesignState read = startup_state();
        DesignState expected = startup_state();
        EXPECT_TRUE(read_design_text(quirky, read.bank, read.corrections).empty());
        read_design_text(plain, expected.bank, expected.corrections);
        EXPECT_TRUE(read.bank == expected.bank);
        EXPECT_EQ(read.corrections, expected.corrections);
    }
}

// Only "TOCU=" sets TOCU; texts keep a line's carriage return and blanks.
TEST(DesignFileReader, ReadsTocuWithItsEqualsSignAndTextsAsTheyStand) {
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;
    read_design_text("TOCU=12.5\r\nFILENAME=a.srl\r\nDESC=  Two words \r\n", bank, corrections);
    EXPECT_EQ(bank.slot[0].TOCU, 12.5f);
    EXPECT_EQ(bank.slot[0].FILENAME.view(), "a.srl\r");
    EXPECT_EQ(bank.slot[0].DESC.view(), "  Two words \r");
}

TEST(DesignFileVersionRules, ReplaceOldCorrectionsEndCorrectionFirstAfterEveryRead) {
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;

    const auto messages = read_design_text("CHMCOR=0.75\nENDCOR= 0.75\n", bank, corrections);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Changed End Correction to 0.6133");
    EXPECT_EQ(messages[1].title, "Changed Chimney Correction to 0.6133");
    for (const VersionMessage& message : messages)
        EXPECT_EQ(message.text, "Changed Parameter in New Version");
    EXPECT_EQ(corrections, (GlobalCorrections{1, 0.25f, 0.6133f, 0.6133f}));
    // A value already in memory counts too; only 0.75 itself is old.
    corrections.ENDCOR = 0.75f;
    EXPECT_EQ(read_design_text("BORE=0.5", bank, corrections).size(), 1u);
    EXPECT_EQ(corrections.ENDCOR, 0.6133f);
    EXPECT_TRUE(read_design_text("ENDCOR=0.7500001\n", bank, corrections).empty());
}

// A save writes a new file beside the old and renames it over, so a failed
// one leaves the old file whole and says why; a link to the file stays a link.
TEST(DesignFileOnDisk, SaveReplacesTheFileOnlyWhenWrittenWhole) {
    std::string directory = (std::filesystem::temp_directory_path() / "sorrel-XXXXXX").string();
    ASSERT_NE(::mkdtemp(directory.data()), nullptr);
    const std::string file = directory + "/tone.srl";
    const std::string folder = directory + "/folder";
    const auto contents = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::ofstream(file) << "previous";
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    std::filesystem::create_directory(folder);
    DesignState state = startup_state();
    state.bank.slot[1].BORE = 0.625f;

    EXPECT_EQ(write_design_file(folder, state.bank, state.corrections).error,
              folder + ": Is a directory");
    // Files may grow to 4 KiB only, so the write fails after its first part.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteOutcome tooLarge = write_design_file(file, state.bank, state.corrections);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(tooLarge.written);
    EXPECT_EQ(tooLarge.error, file + ": File too large");
    EXPECT_EQ(contents(), "previous");

    const std::string link = directory + "/link.srl";
    std::filesystem::create_symlink(file, link);
    EXPECT_TRUE(write_design_file(link, state.bank, state.corrections).written);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(contents(), write_design_text(state.bank, state.corrections));
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 3)
        << "a temporary file was left behind";

    // Loading reads it back; a file that cannot be read changes nothing.
    DesignState loaded = startup_state();
    loaded.corrections.ENDCOR = 0.75f;
    const DesignState before = loaded;
    const ReadOutcome unreadable = read_design_file(folder, loaded.bank, loaded.corrections);
    EXPECT_FALSE(unreadable.opened);
    EXPECT_EQ(unreadable.error, folder + ": Is a directory");
    EXPECT_EQ(read_design_file("/dev/zero", loaded.bank, loaded.corrections).error,
              "/dev/zero: File too large");
    EXPECT_TRUE(loaded.bank == before.bank && loaded.corrections == before.corrections);
    EXPECT_TRUE(read_design_file(file, loaded.bank, loaded.corrections).opened);
    EXPECT_EQ(loaded.bank.slot[1].BORE, 0.625f);
    std::filesystem::remove_all(directory);
}

} // namespace
} // namespace sorrel
