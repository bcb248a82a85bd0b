#include "files/design_file.h"
#include "tests/cli_folder.h"
#include "tests/design_file_invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sorrel {
namespace {

TEST(DesignFileWriter, WritesTheStartupBankByteForByte) {
    const DesignState state = startup_state();
    EXPECT_EQ(write_design_text(state.bank, state.corrections),
              cli_folder::read_text(SORREL_TEST_DATA "/startup.srl"));
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

// Texts at the reader's edges leave everything outside the forty slots'
// fields as it was; the fuzzer tries any bytes against the same rules.
TEST(DesignFileReader, KeepsWithinTheBankAndItsFields) {
    const GuardedBank start = bank_to_read_into();
    for (const std::string& text : std::initializer_list<std::string>{
             "[CIRCUIT]=40\nBORE=0.9\nUNIT=85\n", "[CIRCUIT]=2147483647\nBORE=1\n",
             "[CIRCUIT]=39\nUNIT=85\nDESC=" + std::string(300, 'x') + "\nMATL=\r\n"}) {
        auto read = std::make_unique<GuardedBank>(start);
        GlobalCorrections corrections;
        const auto messages = read_design_text(text, read->bank, corrections);
        EXPECT_EQ(broken_read_rule(start, *read, corrections, messages), "") << text;
    }
}

// Only "TOCU=" sets TOCU; texts keep their blanks and lose the one carriage
// return of a CRLF line end only.
TEST(DesignFileReader, ReadsTocuWithItsEqualsSignAndTextsWithoutTheirLineEnd) {
    DesignState s = startup_state();
    read_design_text("TOCU=12.5\r\nFILENAME=a.srl\r\nDESC=  Two words \r\r\nMATL=oak\r", s.bank,
                     s.corrections);
    const CircuitRecord& c = s.bank.slot[0];
    EXPECT_EQ(c.TOCU, 12.5f);
    EXPECT_EQ(std::string(c.FILENAME.view()) + "|" + std::string(c.DESC.view()) + "|" +
                  std::string(c.MATL.view()),
              "a.srl|  Two words \r|oak\r");
}

TEST(DesignFileVersionRules, ReplaceOldCorrectionsEndCorrectionFirstAfterEveryRead) {
    DesignState s = startup_state();
    const auto messages = read_design_text("CHMCOR=0.75\nENDCOR= 0.75\n", s.bank, s.corrections);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title + "|" + messages[1].title,
              "Changed End Correction to 0.6133|Changed Chimney Correction to 0.6133");
    EXPECT_EQ(messages[1].text, "Changed Parameter in New Version");
    EXPECT_EQ(s.corrections, (GlobalCorrections{1, 0.25f, 0.6133f, 0.6133f}));
    // A value already in memory counts too; only 0.75 itself is old.
    s.corrections.ENDCOR = 0.75f;
    EXPECT_EQ(read_design_text("BORE=0.5", s.bank, s.corrections).size(), 1u);
    EXPECT_EQ(s.corrections.ENDCOR, 0.6133f);
    EXPECT_TRUE(read_design_text("ENDCOR=0.7500001\n", s.bank, s.corrections).empty());
}

using cli_folder::read_text;
namespace fs = std::filesystem;

class DesignFileOnDisk : public cli_folder::CliFolder {
protected:
    std::string at(const std::string& name) const { return file(name).string(); }
    WriteOutcome save(const std::string& name) const {
        return write_design_file(at(name), state_.bank, state_.corrections);
    }
    // The folder's names, sorted: a save leaves no temporary file behind.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_))
            found.push_back(entry.path().filename());
        std::sort(found.begin(), found.end());
        return found;
    }

    DesignState state_ = startup_state();
};

// A save writes a new file and renames it over the old, so a failed one
// leaves the old file whole and says why; a link to the file stays a link.
TEST_F(DesignFileOnDisk, SaveReplacesTheFileOnlyWhenWrittenWhole) {
    write("tone.srl", "previous");
    fs::permissions(at("tone.srl"), fs::perms(0640));
    state_.bank.slot[1].BORE = 0.625f;
    // Files may grow to 4 KiB only, so the write fails after its first part.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteOutcome tooLarge = save("tone.srl");
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(tooLarge.written);
    EXPECT_EQ(tooLarge.error, at("tone.srl") + ": File too large");
    EXPECT_EQ(read_text(at("tone.srl")), "previous");

    fs::create_symlink(at("tone.srl"), at("link.srl"));
    EXPECT_TRUE(save("link.srl").written);
    EXPECT_TRUE(fs::is_symlink(at("link.srl")));
    EXPECT_EQ(fs::status(at("tone.srl")).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), (std::vector<std::string>{"link.srl", "tone.srl"}));
    DesignState loaded = startup_state();
    EXPECT_TRUE(read_design_file(at("tone.srl"), loaded.bank, loaded.corrections).opened);
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
        const WriteOutcome outcome = save(c.name);
        EXPECT_EQ(outcome.error, *c.error ? at(c.name) + ": " + c.error : "");
        EXPECT_EQ(outcome.written, !*c.error);
        EXPECT_EQ(fs::symlink_status(at(c.name)).type(), c.typeAfter);
    }
    EXPECT_EQ(read_text(at("made/by/link.srl")),
              write_design_text(state_.bank, state_.corrections));
    EXPECT_EQ(names(), (std::vector<std::string>{"dangling", "folder", "full", "loop.a", "loop.b",
                                                 "made", "null"}));
}

// Reading refuses what is not a design file and changes nothing then; an
// empty file is an empty design.
TEST_F(DesignFileOnDisk, ReadTakesRegularDesignFilesOnly) {
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    write("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    write("notes.txt", "; only a comment\n\nBORE =0.9\n");
    write("empty.srl", "");
    write("huge.srl", "BORE=0.9\n");
    ASSERT_EQ(::truncate(at("huge.srl").c_str(), 16 * 1024 * 1024 + 1), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"fifo", "not a regular file"},
        {"/dev/null", "not a regular file"},
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

// A save to a new name makes no other name in the folder, not even for a
// moment: the file stays unnamed until it takes its whole target's name, so
// a save killed at any point leaves nothing behind.
TEST_F(DesignFileOnDisk, ASaveToANewNameMakesNoOtherName) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, dir_.c_str(), IN_CREATE | IN_MOVED_TO), 0);
    EXPECT_TRUE(save("new.srl").written);
    alignas(inotify_event) char events[4096];
    const ssize_t length = ::read(watch, events, sizeof events);
    ::close(watch);
    std::vector<std::string> made;
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        made.emplace_back(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    EXPECT_EQ(made, std::vector<std::string>{"new.srl"});
}

// While a save runs, the only files in the folder carry the design's owner,
// group and mode: no other user may read the design for a moment.
TEST_F(DesignFileOnDisk, SavesInProgressKeepTheOwnerAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user takes root";
    const std::string file = at("private.srl");
    write("private.srl", "previous");
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
    // Saves run in a child, stopped at 40 random moments to look at the folder.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        for (;;)
            write_design_file(file, state_.bank, state_.corrections);
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 5000)(random));
        ::kill(child, SIGSTOP);
        ::usleep(2000); // the signal has taken effect
        everyFileIsPrivate();
        ::kill(child, SIGCONT);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    everyFileIsPrivate();
}

} // namespace
} // namespace sorrel
