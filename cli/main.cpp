// sorrel-cli: creates design files, calculates their designs and prints their
// reports without the desktop program.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/fit_command.h"
#include "cli/rescue_command.h"
#include "cli/template_arguments.h"
#include "cli/tune_command.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <system_error>

#include <unistd.h>

namespace {

// Output that never arrived is a failure like any other: a full disk under
// a redirection must not end in exit status 0. Flushing and closing standard
// output brings out an error the buffered writes kept back.
int finish_output(int status) {
    std::cout.flush();
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && ::close(STDOUT_FILENO) == 0)
        return status;
    const int error = errno != 0 ? errno : EIO;
    std::cerr << "sorrel-cli: standard output: " << std::generic_category().message(error) << '\n';
    return sorrel::kExitFileError;
}

int run(int argc, char** argv) {
    using namespace sorrel;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // tune and template have their own options, parsed beside the design-file
    // commands'.
    if (!arguments.empty() && arguments.front() == "tune")
        return tune_command({arguments.begin() + 1, arguments.end()});
    if (!arguments.empty() && arguments.front() == "fit")
        return fit_command({arguments.begin() + 1, arguments.end()});
    if (!arguments.empty() && arguments.front() == "rescue")
        return rescue_command({arguments.begin() + 1, arguments.end()});
    if (!arguments.empty() && arguments.front() == "template")
        return run_template({arguments.begin() + 1, arguments.end()});
    const ParsedArguments parsed = parse_arguments(arguments);
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

} // namespace

int main(int argc, char** argv) {
    return finish_output(run(argc, argv));
}
