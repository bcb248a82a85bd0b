// Writes a design file for the fuzzer's seed corpus: the start-up bank with a
// metric slot, texts and the corrections older versions saved.

#include "files/design_file.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: design_file_seed FILE\n", stderr);
        return 2;
    }
    sorrel::DesignState state = sorrel::startup_state();
    state.bank.slot[1].UNIT = sorrel::UNIT_METRIC;
    state.bank.slot[1].DESC.assign("Low D");
    state.bank.slot[1].MATL.assign("Maple");
    state.corrections.ENDCOR = 0.75f;
    const sorrel::WriteOutcome outcome =
        sorrel::write_design_file(argv[1], state.bank, state.corrections);
    if (!outcome.written) {
        std::fprintf(stderr, "%s\n", outcome.error.c_str());
        return 1;
    }
    return 0;
}
