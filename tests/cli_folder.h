#pragma once
// A fresh folder per test in which sorrel-cli runs as a user runs it: the
// command-line tests share it, the design-file tests its folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace cli_folder {

namespace fs = std::filesystem;

// What one run printed and how it ended.
struct CliRun {
    int status = -1; // exit status; -1 when a signal ended it
    std::string out;
    std::string err;
};

inline std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The words of `text`, one blank after each: how pdftotext's columns
// compare with the printed lines.
inline std::string words_of(const std::string& text) {
    std::istringstream in(text);
    std::string words;
    for (std::string word; in >> word;)
        words += word + " ";
    return words;
}

// The folder, made before each test and removed after it.
class CliFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sorrel-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
    }

    // Runs `command` in the folder, so that the names it gives are files there.
    CliRun shell(const std::string& command) const {
        const int status = std::system(
            ("cd '" + dir_.string() + "' && " + command + " >stdout.txt 2>stderr.txt").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text(file("stdout.txt")),
                read_text(file("stderr.txt"))};
    }
#ifdef SORREL_CLI
    CliRun run(const std::string& arguments) const {
        return shell("'" SORREL_CLI "' " + arguments);
    }

    // A command line, the status it must exit with and what its error says.
    struct Refusal {
        const char* arguments;
        int status;
        const char* says;
    };
    // Runs each command line; none may leave a file named `unwritten`.
    void expect_refusals(std::initializer_list<Refusal> refusals, const char* unwritten) const {
        for (const Refusal& refusal : refusals) {
            SCOPED_TRACE(refusal.arguments);
            const CliRun result = run(refusal.arguments);
            EXPECT_EQ(result.status, refusal.status) << result.err;
            EXPECT_NE(result.err.find(refusal.says), std::string::npos) << result.err;
            EXPECT_FALSE(fs::exists(file(unwritten)));
        }
    }
#endif

    fs::path dir_;
};

} // namespace cli_folder
