#pragma once
// The commands of sorrel-cli. Each reports its outcome on stdout and stderr
// and returns the program's exit status.

#include "cli/arguments.h"
#include "model/circuit_record.h"

#include <string>

namespace sorrel {

enum ExitStatus : int {
    kExitDone = 0,        // every chosen slot done
    kExitUsage = 1,       // the command line was wrong; nothing was read or written
    kExitFileError = 2,   // a file or standard output could not be read or written, or the
                          // design file stayed locked by another writer
    kExitSlotStopped = 3, // a slot stopped (invalid input, math error, scale off the
                          // table); the rest written
};

int new_command(const CliArguments& args);
int calc_command(const CliArguments& args);
int report_command(const CliArguments& args);

// report --pdf, in builds with Qt: draws the page of `slot` into the PDF
// file at `path`.
int report_pdf_command(const CircuitRecord& slot, const std::string& path);

} // namespace sorrel
