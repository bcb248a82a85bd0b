#include "cli/arguments.h"

#include "model/circuit_record.h"
#include "model/message_quote.h"
#include "model/text_format.h"

#include <algorithm>
#include <cctype>

namespace sorrel {

const char* const kUsage =
    "Usage: sorrel-cli new FILE\n"
    "       sorrel-cli calc FILE [--slot N]... [--derive] [-o OUT]\n"
    "       sorrel-cli report FILE [--slot N] [--json | --pdf OUT]\n"
    "       sorrel-cli tune FILE [options]   (see sorrel-cli tune --help)\n"
    "       sorrel-cli fit FILE [options]    (see sorrel-cli fit --help)\n"
    "       sorrel-cli rescue FILE [options] (see sorrel-cli rescue --help)\n"
    "\n"
    "  new     write a design file holding the forty start-up designs\n"
    "  calc    calculate the chosen slots (all forty by default) and write the\n"
    "          whole bank to OUT (FILE by default); bore diameters at the holes\n"
    "          are taken equal to the main bore\n"
    "  report  print the report of one slot (0 by default) as stored, or\n"
    "          draw its page into a PDF file\n"
    "  fit     fit the length and hole positions to pitch, and choose drills;\n"
    "          sorrel-cli fit --help lists its options\n"
    "  rescue  plan the correction of a built prototype from its measured notes;\n"
    "          sorrel-cli rescue --help lists its options\n"
    "\n"
    "  --slot N    slot 0 to 39, numbered as in the file's [CIRCUIT] lines;\n"
    "              calc accepts it more than once\n"
    "  --derive    first derive each slot's frequencies from its first note\n"
    "              and scale steps\n"
    "  -o OUT      write the calculated bank to OUT; \"-\" is standard output\n"
    "              (the slot lines then go to standard error)\n"
    "  --json      print every field of the slot as one JSON object\n"
#if SORREL_CLI_PDF
    "  --pdf OUT   draw the printed page into OUT as a one-page PDF\n"
#else
    "  --pdf OUT   not in this build: it was built without Qt\n"
#endif
    "  -h, --help  show this help\n"
    "\n"
    "A file that is not a regular file, or holds no design-file line, is not\n"
    "read. calc on FILE itself locks it; another writer waits a few seconds.\n"
    "Any other command's output naming the file it reads is refused.\n"
    "\n"
    "Exit status: 0 done, 1 usage error, 2 a file or standard output could not\n"
    "be read or written (or FILE stayed busy), 3 a slot stopped with invalid\n"
    "input, a math error or off the note table (the file is still written).\n";

namespace {

ParsedArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

std::optional<CliCommand> command_named(const std::string& name) {
    if (name == "new")
        return CliCommand::New;
    if (name == "calc")
        return CliCommand::Calc;
    if (name == "report")
        return CliCommand::Report;
    return std::nullopt;
}

// The word behind an option, if the command line goes on. The access is
// checked as well: a wrong bound here must stop the program, not read past
// the arguments.
std::optional<std::string> option_value(const std::vector<std::string>& args, std::size_t at) {
    if (at >= args.size())
        return std::nullopt;
    return args.at(at);
}

// A file name the user gave: an empty one is a mistake, never "no file".
std::optional<std::string> file_name(const std::vector<std::string>& args, std::size_t at) {
    std::optional<std::string> name = option_value(args, at);
    return name && !name->empty() ? name : std::nullopt;
}

// Reads the options and the one file name behind the command word.
ParsedArguments parse_command_line(CliCommand command, const std::vector<std::string>& args) {
    CliArguments parsed;
    parsed.command = command;
    bool haveFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--slot" && command != CliCommand::New) {
            const std::optional<std::string> text = option_value(args, ++i);
            const std::optional<int> slot = text ? parse_slot_number(*text) : std::nullopt;
            if (!slot)
                return usage_error("--slot needs a slot number from 0 to 39");
            parsed.slots.push_back(*slot);
        } else if (arg == "--derive" && command == CliCommand::Calc) {
            parsed.derive = true;
        } else if (arg == "-o" && command == CliCommand::Calc) {
            const std::optional<std::string> output = file_name(args, ++i);
            if (!output)
                return usage_error("-o needs a file name");
            parsed.output = *output;
        } else if (arg == "--json" && command == CliCommand::Report) {
            parsed.json = true;
        } else if (arg == "--pdf" && command == CliCommand::Report) {
            if (!kPdfAvailable)
                return usage_error("--pdf is not in this build: it was built without Qt");
            const std::optional<std::string> pdf = file_name(args, ++i);
            if (!pdf)
                return usage_error("--pdf needs a file name");
            parsed.pdf = *pdf;
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for " + args[0] + ": " + quote_for_message(arg));
        } else if (haveFile) {
            return usage_error("only one design file is taken: " + quote_for_message(arg));
        } else if (arg.empty()) {
            return usage_error("the design file's name is empty");
        } else {
            parsed.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return usage_error(args[0] + " needs a design file");
    std::sort(parsed.slots.begin(), parsed.slots.end());
    parsed.slots.erase(std::unique(parsed.slots.begin(), parsed.slots.end()), parsed.slots.end());
    if (command == CliCommand::Report && parsed.slots.size() > 1)
        return usage_error("report prints one slot");
    if (parsed.json && !parsed.pdf.empty())
        return usage_error("report takes --json or --pdf, not both");
    return {parsed, {}};
}

} // namespace

// Whole decimal numbers 0..39 only: "3x" or "+3" is a mistake, not slot 3.
std::optional<int> parse_slot_number(const std::string& text) {
    const auto isDigit = [](unsigned char ch) { return std::isdigit(ch) != 0; };
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    const std::optional<int32_t> slot = parse_int(text);
    if (!slot || *slot >= kSlotCount)
        return std::nullopt;
    return *slot;
}

ParsedArguments parse_arguments(const std::vector<std::string>& args) {
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& arg) { return arg == "-h" || arg == "--help"; }))
        return {CliArguments{}, {}};
    if (args.empty())
        return usage_error("no command given");
    const std::optional<CliCommand> command = command_named(args[0]);
    if (!command)
        return usage_error("unknown command: " + quote_for_message(args[0]));
    return parse_command_line(*command, args);
}

} // namespace sorrel
