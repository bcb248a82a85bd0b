#include "cli/template_arguments.h"

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/geometry_source.h"
#include "cli/output_check.h"
#include "model/circuit_record.h"
#include "model/message_quote.h"
#include "model/text_format.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace sorrel {

const char* const kTemplateUsage =
    "\n"
    "Usage: sorrel-cli template (FILE.srl [--slot N] | GEOMETRY.json) -o OUT.pdf\n"
    "                           [--paper a4|letter]\n"
    "\n"
    "  template  draw the full-scale drilling template of one calculated slot\n"
    "            (0 by default), or of a geometry file as tune reads it, into\n"
    "            OUT.pdf (- for standard output) on A4 (default) or US Letter;\n"
    "            exit status 3 when the slot has no finished Calc\n"
#if !SORREL_CLI_PDF
    "            (not in this build: it was built without Qt)\n"
#endif
    ;

namespace {

ParsedTemplateArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

std::optional<Paper> paper_named(const std::string& name) {
    if (name == "a4")
        return Paper::A4;
    if (name == "letter")
        return Paper::Letter;
    return std::nullopt;
}

} // namespace

ParsedTemplateArguments parse_template_arguments(const std::vector<std::string>& args) {
    TemplateArguments parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--slot") {
            const std::optional<int> slot = hasValue ? parse_slot_number(args[++i]) : std::nullopt;
            if (!slot)
                return usage_error("--slot needs a slot number from 0 to 39");
            parsed.slot = *slot;
        } else if (arg == "-o") {
            if (!hasValue)
                return usage_error("-o needs a file name");
            parsed.output = args[++i];
        } else if (arg == "--paper") {
            const std::optional<Paper> paper = hasValue ? paper_named(args[++i]) : std::nullopt;
            if (!paper)
                return usage_error("--paper takes a4 or letter");
            parsed.paper = *paper;
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for template: " + quote_for_message(arg));
        } else if (haveFile) {
            return usage_error("only one design file is taken: " + quote_for_message(arg));
        } else {
            parsed.design = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return usage_error("template needs a design file");
    if (parsed.output.empty())
        return usage_error("template needs -o OUT.pdf");
    if (parsed.slot && is_geometry_file(parsed.design))
        return usage_error("--slot applies to a design file, not a geometry file");
    return {parsed, {}};
}

int run_template(const std::vector<std::string>& args) {
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& arg) { return arg == "-h" || arg == "--help"; })) {
        std::cout << kUsage << kTemplateUsage;
        return kExitDone;
    }
    const ParsedTemplateArguments parsed = parse_template_arguments(args);
    if (!parsed.arguments) {
        std::cerr << "sorrel-cli: " << parsed.error << '\n' << kTemplateUsage;
        return kExitUsage;
    }
    if (output_is_input(parsed.arguments->design, "-o", parsed.arguments->output))
        return kExitUsage;
#if SORREL_CLI_PDF
    return template_command(*parsed.arguments);
#else
    std::cerr << "sorrel-cli: template is not in this build: it was built without Qt\n";
    return kExitUsage;
#endif
}

} // namespace sorrel
