#pragma once
// The command line of sorrel-cli: which command runs on which design file,
// with which options.

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

enum class CliCommand { Help, New, Calc, Report };

struct CliArguments {
    CliCommand command = CliCommand::Help;
    std::string file;       // the design file read (calc, report) or written (new)
    std::vector<int> slots; // ascending, each once; empty means calc's all or report's 0
    bool derive = false;    // calc: derive the frequencies before solving
    std::string output;     // calc: where the bank goes; empty means `file`
    bool json = false;      // report: the slot's fields instead of the page
    std::string pdf;        // report: the PDF file the page is drawn into, if any
};

struct ParsedArguments {
    std::optional<CliArguments> arguments; // empty on a usage error
    std::string error;                     // what was wrong, when empty
};

// Parses the arguments that follow the program name.
ParsedArguments parse_arguments(const std::vector<std::string>& args);

// A slot number as the command line writes it: whole decimal numbers 0 to 39
// only, so that "3x" or "+3" is a mistake rather than slot 3.
std::optional<int> parse_slot_number(const std::string& text);

extern const char* const kUsage;

// Whether this build draws PDF pages: that takes Qt, which a build without
// the desktop program leaves out.
inline constexpr bool kPdfAvailable = SORREL_CLI_PDF;

} // namespace sorrel
