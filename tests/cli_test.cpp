// Runs the sorrel-cli binary as a user would, in a fresh folder per test.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
    }

    // Runs `command` in the test's folder, so that the names it gives are files there.
    CliRun shell(const std::string& command) const {
        const int status = std::system(
            ("cd '" + dir_.string() + "' && " + command + " >stdout.txt 2>stderr.txt").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text(file("stdout.txt")),
                read_text(file("stderr.txt"))};
    }
    CliRun run(const std::string& arguments) const {
        return shell("'" SORREL_CLI "' " + arguments);
    }

private:
    fs::path dir_;
};

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
    EXPECT_EQ(lines[22], " A2  659.26   1.72     43.56    0.20");

    write("old.srl", "ENDCOR=0.75\nCHMCOR=0.6133\n[EOF]\n");
    const CliRun old = run("calc old.srl --slot 0");
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_EQ(old.out, "slot 0: 7 passes, block to end 282.50 mm, deviation 77.70 %\n");
    EXPECT_EQ(old.err, "Changed End Correction to 0.6133: Changed Parameter in New Version\n");
}

// Slot 3's two equal neighbouring frequencies give a zero hole spacing; slot
// 1's scale steps walk off the note table.
TEST_F(CliTest, SlotsThatStopKeepTheirContentsAndTheFileIsStillWritten) {
    write("steps.srl", "[CIRCUIT]=0\nSEQ1=1\n[CIRCUIT]=1\nSEQ1=40\n[CIRCUIT]=3\nFR01=587.33\n");
    const CliRun plain = run("calc steps.srl --slot 0 --slot 3 -o plain.srl");
    EXPECT_EQ(plain.status, 3);
    EXPECT_EQ(lines_of(plain.out)[1], "slot 3: math error");
    EXPECT_NE(plain.err.find("slot 3"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(run("report plain.srl --json --slot 3").out)["NE"][1], 0.0);
    EXPECT_EQ(lines_of(run("report plain.srl").out)[13].substr(0, 12), " A2  659.26 ");

    const CliRun derived = run("calc steps.srl --slot 0 --slot 1 --derive -o derived.srl");
    EXPECT_EQ(derived.status, 3);
    EXPECT_EQ(lines_of(derived.out)[1], "slot 1: off the note table");
    EXPECT_EQ(lines_of(run("report derived.srl").out)[13].substr(0, 12), "D#5  622.25 ");
    EXPECT_EQ(nlohmann::json::parse(run("report derived.srl --json --slot 1").out)["NE"][1], 0.0);
}

TEST_F(CliTest, FilesThatCannotBeReadOrWrittenChangeNothing) {
    const CliRun missing = run("calc missing.srl -o out.srl");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.srl"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("out.srl")));

    ASSERT_EQ(run("new tone.srl").status, 0);
    const std::string before = read_text(file("tone.srl"));
    EXPECT_EQ(run("calc tone.srl --slot 0 -o no/such/folder/out.srl").status, 2);
    EXPECT_EQ(read_text(file("tone.srl")), before);
}

TEST_F(CliTest, UsageErrorsNameTheProblemAndShowUsage) {
    ASSERT_EQ(run("new tone.srl").status, 0);
    for (const char* arguments :
         {"", "draw tone.srl", "calc", "new a.srl b.srl", "calc tone.srl --slot",
          "calc tone.srl --slot 3x", "report tone.srl --slot 40",
          "report tone.srl --slot 1 --slot 2", "report tone.srl --derive", "calc tone.srl --json",
          "calc tone.srl -o", "calc tone.srl --pdf r.pdf", "report tone.srl --pdf",
          "report tone.srl --json --pdf r.pdf"}) {
        const CliRun usage = run(arguments);
        EXPECT_EQ(usage.status, 1) << arguments;
        EXPECT_TRUE(usage.out.empty()) << arguments;
        EXPECT_NE(usage.err.find("Usage: sorrel-cli"), std::string::npos) << arguments;
    }
    const CliRun help = run("calc tone.srl -h");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: sorrel-cli", 0), 0u);
}

TEST_F(CliTest, JsonHoldsEveryFieldUnderItsFileKey) {
    write("odd.srl", "[CIRCUIT]=0\nBORE=nan\nEMBH=0.1\nDESC=caf\xe9\n[EOF]\n");
    const CliRun report = run("report odd.srl --json");
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("\"EMBH\": 0.1,"), std::string::npos);
    const nlohmann::json slot = nlohmann::json::parse(report.out);
    EXPECT_TRUE(slot["BORE"].is_null());
    EXPECT_EQ(slot["DESC"], "caf\xef\xbf\xbd");
    EXPECT_EQ(slot.size(), 51u);
}

std::vector<std::string> words_of(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
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

    const CliRun unwritable = run("report tone.srl --pdf no/such/folder/report.pdf");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("no/such/folder/report.pdf"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("no")));
}

} // namespace
