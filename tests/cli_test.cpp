// Runs the sorrel-cli binary as a user would, in a fresh folder per test.

#include "cli_folder.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/mman.h>
#include <tuple>
#include <unistd.h>

namespace {

using namespace cli_folder;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

using CliTest = CliFolder;

// A design file keeps the corrections with two decimals, so the start-up
// design read back from one computes with 0.61 instead of 0.6133, unless the
// version rules replace an old 0.75.
TEST_F(CliTest, NewCalcReportSolvesTheStartupDesign) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    const CliRun calc = run("calc tone.srl --slot 0");
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_EQ(calc.out, "slot 0: 7 passes, block to end 282.53 mm, deviation 77.66 %\n");

    const CliRun report = run("report tone.srl");
    EXPECT_EQ(report.status, 0) << report.err;
    const std::vector<std::string> lines = lines_of(report.out);
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[5],
              "L/B Ratio: 22.25       Musical Length:   2.60 --.   Cork to End:    282.53 --.");
    // Typed frequencies, never derived: named by pitch, not as note row 0 (A2).
    EXPECT_EQ(lines[22], " E5  659.26   1.72     43.56    0.20");

    // The low D whistle of 3/4" tube makers build: its bore at the holes is
    // the file's bore, not the start-up design's. A first note at odds with
    // the base frequency (D4 is row 17) and a divisor other than 2 or 4 are
    // settled from the base frequency, as a slot change settles them.
    for (const char* noteAndDivisor : {"NOTI=17\n", "NOTI=5\nDIVS=3\n"}) {
        write("low.srl", std::string("[CIRCUIT]=0\nBORE=0.75\nTHIK=0.0625\nEMBH=0.4\nEMBV=0.3\n") +
                             noteAndDivisor +
                             "BASE=293.665\nDI01=0.3125\nDI02=0.375\nDI03=0.3125\nDI04=0.3125\n"
                             "DI05=0.375\nDI06=0.3125\n");
        EXPECT_EQ(run("calc low.srl --slot 0 --derive").out,
                  "slot 0: 5 passes, block to end 569.39 mm, deviation 61.76 %\n")
            << noteAndDivisor;
    }

    write("old.srl", "ENDCOR=0.75\nCHMCOR=0.6133\n[EOF]\n");
    const CliRun old = run("calc old.srl --slot 0");
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_EQ(old.out, "slot 0: 7 passes, block to end 282.50 mm, deviation 77.70 %\n");
    EXPECT_EQ(old.err, "Changed End Correction to 0.6133: Changed Parameter in New Version\n");
}

// Slot 2 carries one invalid input each time; slot 1's scale steps walk off
// the note table. A stopped slot keeps what it held (NE01 0, as written by
// new) and the rest of the bank is still written.
TEST_F(CliTest, SlotsThatStopKeepTheirContentsAndTheFileIsStillWritten) {
    const std::pair<const char*, const char*> invalid[] = {
        {"BORE=nan", "BORE must be a number above 0"},
        {"SPSD=inf", "SPSD must be a number above 0"},
    };
    for (const auto& [line, reason] : invalid) {
        SCOPED_TRACE(line);
        write("in.srl", std::string("[CIRCUIT]=2\n") + line + "\n");
        const CliRun calc = run("calc in.srl --slot 0 --slot 2 -o out.srl");
        EXPECT_EQ(calc.status, 3);
        EXPECT_EQ(lines_of(calc.out).at(1), std::string("slot 2: invalid input: ") + reason);
        EXPECT_EQ(nlohmann::json::parse(run("report out.srl --json --slot 2").out)["NE"][1], 0.0);
        EXPECT_NE(nlohmann::json::parse(run("report out.srl --json --slot 0").out)["NE"][1], 0.0);
    }

    write("steps.srl", "[CIRCUIT]=0\nSEQ1=1\n[CIRCUIT]=1\nSEQ1=40\n");
    const CliRun derived = run("calc steps.srl --slot 0 --slot 1 --derive -o derived.srl");
    EXPECT_EQ(derived.status, 3);
    EXPECT_EQ(lines_of(derived.out)[1], "slot 1: off the note table");
    EXPECT_EQ(lines_of(run("report derived.srl").out)[13].substr(0, 12), "D#5  622.25 ");
    EXPECT_EQ(nlohmann::json::parse(run("report derived.srl --json --slot 1").out)["NE"][1], 0.0);
}

// Whatever cannot be read or written ends in status 2 with the reason, and
// changes no file.
TEST_F(CliTest, FilesThatCannotBeReadOrWrittenChangeNothing) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    const std::string tone = read_text(file("tone.srl"));
    write("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    expect_refusals(
        {{"calc missing.srl -o out.srl", 2, "missing.srl: No such file or directory"},
         {"calc picture.png", 2, "picture.png: not a design file"},
         {"new no/such/folder/out.srl", 2, "no/such/folder/out.srl: No such file or directory"},
         {"calc tone.srl --slot 0 -o no/such/folder/out.srl", 2, "No such file or directory"}},
        "out.srl");
    EXPECT_FALSE(fs::exists(file("no")));
    EXPECT_EQ(read_text(file("tone.srl")), tone);
    EXPECT_EQ(read_text(file("picture.png")).size(), 16u);
}

// An output naming the file read, however named, is refused before anything
// is read or written: a PDF or geometry must never replace the forty designs.
// calc's -o naming it writes the bank in place, as calc without -o does.
TEST_F(CliTest, AnOutputThatIsTheFileReadIsRefused) {
    ASSERT_EQ(run("new d.srl").status, 0);
    ASSERT_EQ(run("calc d.srl --slot 0").status, 0);
    write("g.json", "{}");
    ASSERT_EQ(shell("ln d.srl hard.srl && ln -s d.srl soft.srl && mkdir sub").status, 0);
    const std::string design = read_text(file("d.srl"));
    for (const char* arguments :
         {"template d.srl -o d.srl", "template soft.srl -o ./hard.srl", "fit d.srl -o sub/../d.srl",
          "fit g.json -o g.json", "fit d.srl --json --pdf soft.srl",
          "report hard.srl --pdf d.srl"}) {
        SCOPED_TRACE(arguments);
        const CliRun refused = run(arguments);
        EXPECT_EQ(refused.status, 1);
        const bool drawn =
            SORREL_CLI_PDF || std::string(arguments).find("pdf") == std::string::npos;
        EXPECT_EQ(refused.err.find("is the file read") != std::string::npos, drawn) << refused.err;
        EXPECT_TRUE(read_text(file("d.srl")) == design);
    }
    EXPECT_EQ(read_text(file("g.json")), "{}");
    EXPECT_EQ(run("calc d.srl --slot 1 -o soft.srl").status, 0);
    EXPECT_TRUE(read_text(file("d.srl")) != design);
}

// A file system without unnamed temporary files refuses O_TMPFILE with one
// of three errors; the file is then written under a temporary name and
// renamed, leaving nothing behind. Any other refusal is an error.
TEST_F(CliTest, WritesWhereTheFileSystemLacksUnnamedTemporaryFiles) {
    const struct {
        int refusal;
        int status;
        const char* says;
    } cases[] = {{EOPNOTSUPP, 0, ""},
                 {EISDIR, 0, ""},
                 {EINVAL, 0, ""},
                 {EACCES, 2, "tone.srl: Permission denied"}};
    for (const auto& c : cases) {
        fs::remove(file("tone.srl"));
        // A sanitized sorrel-cli wants its runtime first; the preload comes before it.
        const CliRun made =
            shell("ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" SORREL_REFUSED_TMPFILE
                  "' SORREL_TMPFILE_ERRNO=" +
                  std::to_string(c.refusal) + " '" SORREL_CLI "' new tone.srl");
        EXPECT_EQ(made.status, c.status) << c.refusal;
        EXPECT_NE(made.err.find(c.says), std::string::npos) << made.err;
        const auto entries = std::distance(fs::directory_iterator(file("")), {});
        EXPECT_EQ(entries, c.status == 0 ? 3 : 2) << c.refusal; // and stdout.txt, stderr.txt
    }
}

TEST_F(CliTest, UsageErrorsNameTheProblemAndShowUsage) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    for (const char* arguments :
         {"", "draw tone.srl", "calc", "new a.srl b.srl", "calc tone.srl --slot",
          "calc tone.srl --slot 3x", "report tone.srl --slot 40",
          "report tone.srl --slot 1 --slot 2", "report tone.srl --derive", "calc tone.srl --json",
          "calc tone.srl -o", "calc tone.srl --pdf r.pdf", "report tone.srl --pdf",
          "report tone.srl --json --pdf r.pdf", "calc tone.srl -o ''", "report tone.srl --pdf ''",
          "calc ''", "new tone.srl --slot 1"}) {
        const CliRun usage = run(arguments);
        EXPECT_EQ(usage.status, 1) << arguments;
        EXPECT_TRUE(usage.out.empty() && usage.err.find("Usage: sorrel-cli") != std::string::npos)
            << arguments;
    }
    EXPECT_EQ(run("calc tone.srl -h").out.rfind("Usage: sorrel-cli", 0), 0u);
}

TEST_F(CliTest, JsonHoldsEveryFieldUnderItsFileKey) {
    write("odd.srl", "[CIRCUIT]=0\nBORE=nan\nEMBH=0.1\nDESC=caf\xe9\n[EOF]\n");
    const CliRun report = run("report odd.srl --json");
    EXPECT_NE(report.out.find("\"EMBH\": 0.1,"), std::string::npos);
    const nlohmann::json slot = nlohmann::json::parse(report.out);
    EXPECT_TRUE(slot["BORE"].is_null());
    EXPECT_EQ(slot["DESC"], "caf\xef\xbf\xbd");
    EXPECT_EQ(slot.size(), 51u);
}

// The page comes from the desktop program's painter; without a display the
// command draws offscreen by itself.
TEST_F(CliTest, PdfHoldsTheReportPageOrIsRefusedWithoutQt) {
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ASSERT_EQ(run("new tone.srl").status, 0);
    ASSERT_EQ(run("calc tone.srl --slot 0").status, 0);
    const CliRun pdf = run("report tone.srl --pdf report.pdf");
    if (!SORREL_CLI_PDF) {
        EXPECT_EQ(pdf.status, 1);
        EXPECT_NE(pdf.err.find("without Qt"), std::string::npos);
        EXPECT_FALSE(fs::exists(file("report.pdf")));
        return;
    }
    EXPECT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_TRUE(pdf.out.empty());
    const CliRun text = shell("pdftotext -layout report.pdf -");
    ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) failed: " << text.err;
    EXPECT_EQ(words_of(text.out), words_of(run("report tone.srl").out));

    // A PDF is saved as a design file is, and its failure said so.
    const CliRun unwritable = run("report tone.srl --pdf no/such/folder/report.pdf");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("no/such/folder/report.pdf"), std::string::npos)
        << unwritable.err;
}

// Output that never arrives is a failure: standard output on a full device
// ends in status 2 with the reason, for a report kept in the buffer until
// the end and for a bank written out in many blocks.
TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    // A sealed memory file refuses every write with EPERM.
    const int sealed = ::memfd_create("sealed", MFD_ALLOW_SEALING);
    ASSERT_EQ(::fcntl(sealed, F_ADD_SEALS, F_SEAL_WRITE), 0);
    const std::string memory =
        "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(sealed);
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"report tone.srl", "/dev/full", "No space left on device"},
        {"calc tone.srl -o -", "/dev/full", "No space left on device"},
        {"report tone.srl", memory, "Operation not permitted"}};
    for (const auto& [arguments, output, reason] : cases) {
        SCOPED_TRACE(arguments + (" >>" + output));
        const CliRun failed = shell("'" SORREL_CLI "' " + std::string(arguments) + " >>" + output +
                                    " 2>err.txt; echo $? >stdout.txt");
        EXPECT_EQ(failed.out, "2\n");
        EXPECT_NE(read_text(file("err.txt")).find(std::string("standard output: ") + reason + "\n"),
                  std::string::npos);
    }
    ::close(sealed);
}

// "-o -" is standard output, with the slot lines on stderr; the file read
// is left as it was.
TEST_F(CliTest, DashAsOutputIsStandardOutput) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    const std::string tone = read_text(file("tone.srl"));
    const CliRun piped = run("calc tone.srl --slot 0 -o -");
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out.rfind(";SORREL - Version 3.3", 0), 0u);
    EXPECT_EQ(lines_of(piped.out).size(), 6648u);
    EXPECT_NE(piped.err.find("slot 0: 7 passes"), std::string::npos);
    EXPECT_EQ(read_text(file("tone.srl")), tone);
}

// A calc waiting for the lock must take it on the file the name leads to
// once it is free: here two other writers in turn replace the file while it
// waits, and its slot must land on the last one's work. A calc that kept the
// lock of the first file would write beside the second writer and lose its
// slot when the third renames its file over.
TEST_F(CliTest, ACalcWaitingForTheLockWritesOnTheLatestFile) {
    const auto calculated = [](const std::string& text, int slot) {
        const std::size_t section = text.find("[CIRCUIT]=" + std::to_string(slot) + "\n");
        return text.compare(text.find("DIST=", section), 14, "DIST=0.000000\n") != 0;
    };
    ASSERT_EQ(run("new tone.srl").status, 0);
    ASSERT_EQ(run("calc tone.srl --slot 2 -o second.srl").status, 0);
    ASSERT_EQ(run("calc second.srl --slot 3 -o third.srl").status, 0);
    const auto lock_file = [this](const char* name) {
        const int held = open(file(name).c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_EQ(flock(held, LOCK_EX), 0);
        return held;
    };
    const int first = lock_file("tone.srl");
    // In braces: the redirections shell() appends must stay in the test's folder.
    shell("{ ('" SORREL_CLI "' calc tone.srl --slot 1; echo $? >status.txt) & }");
    usleep(300000);                             // the calc waits for the first file's lock
    const int second = lock_file("second.srl"); // locked before it takes the name
    fs::rename(file("second.srl"), file("tone.srl"));
    close(first);
    usleep(500000); // a calc holding the first file's lock would be done by now
    fs::rename(file("third.srl"), file("tone.srl"));
    close(second);
    for (int waited = 0; waited < 100 && read_text(file("status.txt")).empty(); ++waited)
        usleep(100000);
    EXPECT_EQ(read_text(file("status.txt")), "0\n");
    const std::string text = read_text(file("tone.srl"));
    for (int slot : {1, 2, 3})
        EXPECT_TRUE(calculated(text, slot)) << "slot " << slot;

    // A writer that keeps the lock makes calc give up after a few seconds.
    const int held = lock_file("tone.srl");
    const CliRun busy = run("calc tone.srl --slot 0");
    close(held);
    EXPECT_EQ(busy.status, 2);
    EXPECT_NE(busy.err.find("tone.srl: busy: another program is writing it"), std::string::npos);
    EXPECT_FALSE(calculated(read_text(file("tone.srl")), 0));
}

} // namespace
