// Runs the sorrel-cli binary as a user would, in a fresh folder per test.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs a shell command; its exit status, -1 when it did not exit.
int run_shell(const std::string& command, std::string& out) {
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Non-blank lines with their runs of blanks closed up, as a PDF's text
// comes back.
std::vector<std::string> simplified_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string simplified;
        for (std::string word; words >> word;)
            simplified += (simplified.empty() ? "" : " ") + word;
        if (!simplified.empty())
            lines.push_back(simplified);
    }
    return lines;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sorrel-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }

    // `arguments` names files in the test's folder, which the command runs in.
    CliRun run(const std::string& arguments) const {
        const std::string command = "cd '" + dir_.string() + "' && '" SORREL_CLI "' " + arguments +
                                    " 2>'" + file("stderr.txt").string() + "'";
        CliRun result;
        result.status = run_shell(command, result.out);
        result.err = read_text(file("stderr.txt"));
        return result;
    }

    nlohmann::json slot_json(const std::string& design, int slot) const {
        const CliRun report = run("report " + design + " --json --slot " + std::to_string(slot));
        EXPECT_EQ(report.status, 0) << report.err;
        return nlohmann::json::parse(report.out);
    }

private:
    fs::path dir_;
};

// A design file keeps the corrections with two decimals, so the start-up
// design read back from one computes with 0.61 instead of 0.6133.
TEST_F(CliTest, NewCalcReportSolvesTheStartupDesign) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    const CliRun calc = run("calc tone.srl --slot 0");
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_EQ(calc.out, "slot 0: 7 passes, block to end 282.53 mm, deviation 77.66 %\n");

    const CliRun report = run("report tone.srl");
    EXPECT_EQ(report.status, 0) << report.err;
    const std::vector<std::string> lines = lines_of(report.out);
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[0], "SORREL TONEHOLE CALCULATION RESULTS");
    EXPECT_EQ(lines[5],
              "L/B Ratio: 22.25       Musical Length:   2.60 --.   Cork to End:    282.53 --.");
    EXPECT_EQ(lines[22], " A2  659.26   1.72     43.56    0.20");
    EXPECT_EQ(lines_of(run("report tone.srl --slot 1").out)[5].substr(0, 16), "L/B Ratio:  0.00");
}

TEST_F(CliTest, CalcUsesTheFilesCorrectionsAfterTheVersionRules) {
    write_text(file("old.srl"), "ENDCOR=0.75\nCHMCOR=0.6133\n[EOF]\n");
    const CliRun calc = run("calc old.srl --slot 0");
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_EQ(calc.out, "slot 0: 7 passes, block to end 282.50 mm, deviation 77.70 %\n");
    EXPECT_EQ(calc.err, "Changed End Correction to 0.6133: Changed Parameter in New Version\n");
}

TEST_F(CliTest, CalcTakesEachChosenSlotOnceInOrder) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    const CliRun chosen = run("calc tone.srl --slot 7 --slot 2 --slot 7");
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    const std::vector<std::string> lines = lines_of(chosen.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 8), "slot 2: ");
    EXPECT_EQ(lines[1].substr(0, 8), "slot 7: ");

    const std::vector<std::string> all = lines_of(run("calc tone.srl").out);
    ASSERT_EQ(all.size(), 40u);
    EXPECT_EQ(all[39], "slot 39: 7 passes, block to end 282.53 mm, deviation 77.66 %");
}

// Two equal neighbouring frequencies give a zero hole spacing.
TEST_F(CliTest, MathErrorKeepsTheSlotAndStillWritesTheFile) {
    write_text(file("bad.srl"), "[CIRCUIT]=3\nFR01=587.33\n[EOF]\n");
    const CliRun calc = run("calc bad.srl --slot 2 --slot 3 -o out.srl");
    EXPECT_EQ(calc.status, 3);
    EXPECT_EQ(lines_of(calc.out)[1], "slot 3: math error");
    EXPECT_NE(calc.err.find("slot 3"), std::string::npos);
    ASSERT_TRUE(fs::exists(file("out.srl")));
    EXPECT_EQ(slot_json("out.srl", 3)["NE"][1], 0.0);
    EXPECT_NE(slot_json("out.srl", 2)["NE"][1], 0.0);
}

TEST_F(CliTest, FilesThatCannotBeReadOrWrittenChangeNothing) {
    const CliRun missing = run("calc missing.srl -o out.srl");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.srl"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("out.srl")));
    EXPECT_EQ(run("report missing.srl").status, 2);

    ASSERT_EQ(run("new tone.srl").status, 0);
    const std::string before = read_text(file("tone.srl"));
    EXPECT_EQ(run("calc tone.srl --slot 0 -o no/such/folder/out.srl").status, 2);
    EXPECT_EQ(run("new no/such/folder/new.srl").status, 2);
    EXPECT_EQ(read_text(file("tone.srl")), before);
}

TEST_F(CliTest, UsageErrorsNameTheProblemAndShowUsage) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    for (const char* arguments :
         {"", "draw tone.srl", "calc", "new a.srl b.srl", "calc tone.srl --slot",
          "calc tone.srl --slot 3x", "calc tone.srl --slot -1", "report tone.srl --slot 40",
          "report tone.srl --slot 1 --slot 2", "report tone.srl --derive", "calc tone.srl --json",
          "calc tone.srl -o", "report tone.srl --pdf", "report tone.srl --json --pdf r.pdf",
          "calc tone.srl --pdf r.pdf"}) {
        SCOPED_TRACE(arguments);
        const CliRun usage = run(arguments);
        EXPECT_EQ(usage.status, 1);
        EXPECT_TRUE(usage.out.empty());
        EXPECT_NE(usage.err.find("Usage: sorrel-cli"), std::string::npos);
    }
    for (const char* arguments : {"--help", "-h", "calc tone.srl -h"}) {
        const CliRun help = run(arguments);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: sorrel-cli", 0), 0u);
    }
}

TEST_F(CliTest, DeriveWalksTheNoteTableBeforeSolving) {
    write_text(file("steps.srl"), "[CIRCUIT]=0\nSEQ1=1\n[CIRCUIT]=1\nSEQ1=40\n[EOF]\n");
    const CliRun plain = run("calc steps.srl --slot 0 -o plain.srl");
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(lines_of(run("report plain.srl").out)[13].substr(0, 12), " A2  659.26 ");

    const CliRun derived = run("calc steps.srl --slot 0 --slot 1 --derive -o derived.srl");
    EXPECT_EQ(derived.status, 3);
    EXPECT_EQ(lines_of(derived.out)[1], "slot 1: math error");
    EXPECT_NE(derived.err.find("slot 1"), std::string::npos);
    EXPECT_EQ(lines_of(run("report derived.srl").out)[13].substr(0, 12), "D#5  622.25 ");
    EXPECT_EQ(slot_json("derived.srl", 1)["NE"][1], 0.0);
}

TEST_F(CliTest, JsonHoldsEveryFieldUnderItsFileKey) {
    write_text(file("odd.srl"), "[CIRCUIT]=0\nBORE=nan\nEMBH=0.1\nDESC=caf\xe9\n[EOF]\n");
    const CliRun report = run("report odd.srl --json");
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("\"EMBH\": 0.1,"), std::string::npos);
    const nlohmann::json slot = nlohmann::json::parse(report.out);
    EXPECT_TRUE(slot["BORE"].is_null());
    EXPECT_EQ(slot["DESC"], "caf\xef\xbf\xbd");
    EXPECT_EQ(slot["SEQ3"], 1);
    EXPECT_EQ(slot["FR"].size(), 7u);
    EXPECT_EQ(slot["SP"].size(), 4u);
    EXPECT_EQ(slot["BDI"][6], 0.5);
    EXPECT_EQ(slot.size(), 51u);
}

// The page comes from the desktop program's painter; without a display the
// command draws offscreen by itself.
TEST_F(CliTest, PdfHoldsTheReportPage) {
    if (!SORREL_CLI_PDF)
        GTEST_SKIP() << "sorrel-cli was built without Qt";
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ASSERT_EQ(run("new tone.srl").status, 0);
    ASSERT_EQ(run("calc tone.srl --slot 0").status, 0);
    const CliRun pdf = run("report tone.srl --pdf report.pdf");
    EXPECT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_TRUE(pdf.out.empty());

    std::string text;
    ASSERT_EQ(run_shell("pdftotext -layout '" + file("report.pdf").string() + "' -", text), 0)
        << "pdftotext (poppler-utils) failed";
    const std::vector<std::string> page = simplified_lines(text);
    EXPECT_EQ(page, simplified_lines(run("report tone.srl").out));
    ASSERT_EQ(page.size(), 27u);
    EXPECT_EQ(page[22], "A2 659.26 1.72 43.56 0.20");

    const CliRun unwritable = run("report tone.srl --pdf no/such/folder/report.pdf");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("no/such/folder/report.pdf"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("no")));
}

TEST_F(CliTest, PdfIsRefusedByABuildWithoutQt) {
    if (SORREL_CLI_PDF)
        GTEST_SKIP() << "sorrel-cli was built with Qt";
    ASSERT_EQ(run("new tone.srl").status, 0);
    const CliRun pdf = run("report tone.srl --pdf report.pdf");
    EXPECT_EQ(pdf.status, 1);
    EXPECT_NE(pdf.err.find("without Qt"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("report.pdf")));
    EXPECT_NE(run("--help").out.find("--pdf OUT   not in this build"), std::string::npos);
}

} // namespace
