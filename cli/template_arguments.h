#pragma once
// sorrel-cli template: the drilling template of one design slot as a PDF.

#include "drilling/template_layout.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

// What the template command draws, from where, onto what.
struct TemplateArguments {
    std::string design; // the design file read
    int slot = 0;       // the slot drawn
    std::string output; // the PDF written
    Paper paper = Paper::A4;
};

struct ParsedTemplateArguments {
    std::optional<TemplateArguments> arguments; // empty on a usage error
    std::string error;                          // what was wrong, when empty
};

// Parses the arguments that follow the word "template".
ParsedTemplateArguments parse_template_arguments(const std::vector<std::string>& args);

// The command's lines of the --help text.
extern const char* const kTemplateUsage;

// Parses, then draws; returns the exit status. Usage errors print the usage.
int run_template(const std::vector<std::string>& args);

// Draws the template, in builds with Qt.
int template_command(const TemplateArguments& args);

} // namespace sorrel
