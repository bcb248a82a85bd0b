// Feeds any bytes to the design-file reader and stops on the first rule the
// read breaks.

#include "tests/design_file_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sorrel;
    static const GuardedBank start = bank_to_read_into();
    const auto read = std::make_unique<GuardedBank>(start);
    GlobalCorrections corrections;
    const auto messages = read_design_text(
        std::string_view(reinterpret_cast<const char*>(data), size), read->bank, corrections);
    if (const std::string broken = broken_read_rule(start, *read, corrections, messages);
        !broken.empty()) {
        std::fprintf(stderr, "design file read broke a rule: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
