// sorrel-cli: creates design files, calculates their designs and prints their
// reports without the desktop program.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/template_arguments.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace sorrel;
    if (argc > 1 && std::string(argv[1]) == "template")
        return run_template(std::vector<std::string>(argv + 2, argv + argc));
    const ParsedArguments parsed = parse_arguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.arguments) {
        std::cerr << "sorrel-cli: " << parsed.error << "\n\n" << kUsage;
        return kExitUsage;
    }
    const CliArguments& args = *parsed.arguments;
    switch (args.command) {
    case CliCommand::New:
        return new_command(args);
    case CliCommand::Calc:
        return calc_command(args);
    case CliCommand::Report:
        return report_command(args);
    case CliCommand::Help:
        break;
    }
    std::cout << kUsage << kTemplateUsage;
    return kExitDone;
}
