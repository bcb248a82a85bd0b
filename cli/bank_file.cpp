#include "cli/bank_file.h"

#include "files/design_file.h"

#include <iostream>

namespace sorrel {

std::optional<DesignState> read_bank(const std::string& path) {
    DesignState state = startup_state();
    const ReadOutcome outcome = read_design_file(path, state.bank, state.corrections);
    if (!outcome.opened) {
        std::cerr << "sorrel-cli: cannot read " << outcome.error << '\n';
        return std::nullopt;
    }
    for (const VersionMessage& message : outcome.messages)
        std::cerr << message.title << ": " << message.text << '\n';
    return state;
}

bool write_bank(const std::string& path, const DesignState& state) {
    const WriteOutcome outcome = write_design_file(path, state.bank, state.corrections);
    if (!outcome.written)
        std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
    return outcome.written;
}

} // namespace sorrel
