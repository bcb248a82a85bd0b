#include "cli/bank_file.h"
#include "cli/commands.h"

namespace sorrel {

int new_command(const CliArguments& args) {
    return write_bank(args.file, startup_state()) ? kExitDone : kExitFileError;
}

} // namespace sorrel
