#include "files/design_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

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
        // Integers beyond 32 bits are no numbers: 4294967301 would wrap to
        // slot 5, 4294967466 to the metric unit 170.
        {"[CIRCUIT]=3\nBORE=0.7\n[CIRCUIT]=4294967301\nBORE=0.9\nUNITS=4294967466\nDIVS=4\n",
         "[CIRCUIT]=3\nBORE=0.7\n"},
        {"UNITS=4294967466\nNOTI=-2147483649\nSEQ1=+-3\nSEQ2= +5\nSEQ3=-2147483648\n",
         "SEQ2=5\nSEQ3=-2147483648\n"},
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

// Only "TOCU=" sets TOCU; texts keep their blanks and lose the one carriage
// return of a CRLF line end only.
TEST(DesignFileReader, ReadsTocuWithItsEqualsSignAndTextsWithoutTheirLineEnd) {
    CircuitBank bank = startup_state().bank;
    GlobalCorrections corrections;
    read_design_text("TOCU=12.5\r\nFILENAME=a.srl\r\nDESC=  Two words \r\r\nMATL=oak\r", bank,
                     corrections);
    EXPECT_EQ(bank.slot[0].TOCU, 12.5f);
    EXPECT_EQ(bank.slot[0].FILENAME.view(), "a.srl");
    EXPECT_EQ(bank.slot[0].DESC.view(), "  Two words \r");
    EXPECT_EQ(bank.slot[0].MATL.view(), "oak\r");
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

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder per test, removed afterwards.
class DesignFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sorrel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string at(const char* name) const { return (dir_ / name).string(); }

    // The names in the folder other than `expected`.
    std::vector<std::string> strays(const std::vector<std::string>& expected) const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (std::find(expected.begin(), expected.end(), entry.path().filename()) ==
                expected.end())
                found.push_back(entry.path().filename());
        return found;
    }

    fs::path dir_;
    DesignState state_ = startup_state();
};

// A save writes a new file and renames it over the old, so a failed one
// leaves the old file whole and says why; a link to the file stays a link.
TEST_F(DesignFileOnDisk, SaveReplacesTheFileOnlyWhenWrittenWhole) {
    const std::string file = at("tone.srl");
    std::ofstream(file) << "previous";
    fs::permissions(file, fs::perms(0640));
    state_.bank.slot[1].BORE = 0.625f;
    // Files may grow to 4 KiB only, so the write fails after its first part.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteOutcome tooLarge = write_design_file(file, state_.bank, state_.corrections);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(tooLarge.written);
    EXPECT_EQ(tooLarge.error, file + ": File too large");
    EXPECT_EQ(contents(file), "previous");

    fs::create_symlink(file, at("link.srl"));
    EXPECT_TRUE(write_design_file(at("link.srl"), state_.bank, state_.corrections).written);
    EXPECT_TRUE(fs::is_symlink(at("link.srl")));
    EXPECT_EQ(contents(file), write_design_text(state_.bank, state_.corrections));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(strays({"tone.srl", "link.srl"}), std::vector<std::string>{});

    DesignState loaded = startup_state();
    EXPECT_TRUE(read_design_file(file, loaded.bank, loaded.corrections).opened);
    EXPECT_EQ(loaded.bank.slot[1].BORE, 0.625f);
}

// Each target the user may name, and what a save must make of it.
TEST_F(DesignFileOnDisk, SaveTreatsEachKindOfTargetAsItIs) {
    ASSERT_EQ(::mknod(at("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    ASSERT_EQ(::mknod(at("full").c_str(), S_IFCHR | 0666, ::makedev(1, 7)), 0);
    fs::create_symlink("made/by/link.srl", at("dangling"));
    fs::create_directories(at("made/by"));
    fs::create_symlink("loop.b", at("loop.a"));
    fs::create_symlink("loop.a", at("loop.b"));
    fs::create_directory(at("folder"));
    const struct {
        const char* name;
        const char* error; // empty: written
        fs::file_type typeAfter;
    } cases[] = {
        {"null", "", fs::file_type::character},
        {"full", "No space left on device", fs::file_type::character},
        {"dangling", "", fs::file_type::symlink},
        {"loop.a", "Too many levels of symbolic links", fs::file_type::symlink},
        {"folder", "Is a directory", fs::file_type::directory},
        {"absent/tone.srl", "No such file or directory", fs::file_type::not_found},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WriteOutcome outcome = write_design_file(at(c.name), state_.bank, state_.corrections);
        EXPECT_EQ(outcome.error, *c.error ? at(c.name) + ": " + c.error : "");
        EXPECT_EQ(outcome.written, !*c.error);
        EXPECT_EQ(fs::symlink_status(at(c.name)).type(), c.typeAfter);
    }
    EXPECT_EQ(contents(at("made/by/link.srl")), write_design_text(state_.bank, state_.corrections));
    EXPECT_EQ(strays({"null", "full", "dangling", "made", "loop.a", "loop.b", "folder"}),
              std::vector<std::string>{});
}

// Reading refuses what is not a design file and changes nothing then; an
// empty file is an empty design.
TEST_F(DesignFileOnDisk, ReadTakesRegularDesignFilesOnly) {
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    std::ofstream(at("picture.png"), std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    std::ofstream(at("notes.txt")) << "; only a comment\n\nBORE =0.9\n";
    std::ofstream(at("empty.srl"));
    fs::create_directory(at("folder"));
    std::ofstream(at("huge.srl")) << "BORE=0.9\n";
    ASSERT_EQ(::truncate(at("huge.srl").c_str(), 16 * 1024 * 1024 + 1), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"fifo", "not a regular file"},
        {"/dev/null", "not a regular file"},
        {"folder", "not a regular file"},
        {"picture.png", "not a design file"},
        {"notes.txt", "not a design file"},
        {"huge.srl", "File too large"},
        {"missing.srl", "No such file or directory"},
        {"empty.srl", ""},
    };
    for (const auto& [name, error] : cases) {
        SCOPED_TRACE(name);
        const std::string path = *name == '/' ? name : at(name);
        DesignState loaded = startup_state();
        loaded.corrections.ENDCOR = 0.75f; // the version rules run only on a file read
        const ReadOutcome outcome = read_design_file(path, loaded.bank, loaded.corrections);
        EXPECT_EQ(outcome.error, *error ? path + ": " + error : "");
        EXPECT_EQ(outcome.opened, !*error);
        EXPECT_EQ(loaded.corrections.ENDCOR, *error ? 0.75f : 0.6133f);
        EXPECT_TRUE(loaded.bank == startup_state().bank);
    }
}

// Runs saves in a child process and interrupts it `rounds` times with
// `signal` at random moments, calling `check` while it is interrupted. The
// child saves to the name `target(n)` gives for its n-th save.
template <class Target, class Check>
void interrupt_saves(int signal, int rounds, Target target, Check check) {
    const DesignState state = startup_state();
    std::mt19937 random(7);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        for (int n = 0;; ++n)
            write_design_file(target(n), state.bank, state.corrections);
    for (int round = 0; round < rounds; ++round) {
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 5000)(random));
        ::kill(child, signal);
        ::usleep(2000); // the signal has taken effect
        check();
        ::kill(child, SIGCONT);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A save killed at any moment leaves no temporary file: it is unnamed until
// it takes its whole target's name.
TEST_F(DesignFileOnDisk, KilledSavesLeaveNothingBehind) {
    for (int round = 0; round < 20; ++round)
        interrupt_saves(
            SIGKILL, 1, [&](int n) { return at(("d" + std::to_string(round * 1000 + n)).c_str()); },
            [] {});
    const std::string whole = write_design_text(state_.bank, state_.corrections);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().extension(), "") << entry.path();
        EXPECT_TRUE(contents(entry.path()) == whole) << entry.path();
    }
}

// While a save runs, the only files in the folder carry the design's owner,
// group and mode: no other user may read the design for a moment.
TEST_F(DesignFileOnDisk, SavesInProgressKeepTheOwnerAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user takes root";
    const std::string file = at("private.srl");
    std::ofstream(file) << "previous";
    ASSERT_EQ(::chown(file.c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const auto everyFileIsPrivate = [this] {
        for (const auto& entry : fs::directory_iterator(dir_)) {
            struct stat status {};
            if (::lstat(entry.path().c_str(), &status) != 0)
                continue; // renamed away meanwhile
            EXPECT_EQ(status.st_mode & 07777, 0600u) << entry.path();
            EXPECT_EQ(status.st_uid, 1234u) << entry.path();
            EXPECT_EQ(status.st_gid, 5678u) << entry.path();
        }
    };
    interrupt_saves(
        SIGSTOP, 40, [&](int) { return file; }, everyFileIsPrivate);
    everyFileIsPrivate();
}

} // namespace
} // namespace sorrel
