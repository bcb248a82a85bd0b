#include "tests/design_file_invariants.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>

namespace sorrel {
namespace {

// Pieces that steer the reader into its rarer paths when dropped anywhere.
const std::string kTokens[] = {
    "[CIRCUIT]=",  "[CIRCUIT]=-1", "[CIRCUIT]=40", "[CIRCUIT]=2147483647",
    "[CIRCUIT]",   "[EOF]",        "UNITS=170",    "UNIT=85",
    "ENDCOR=0.75", "DESC=",        "\r",           "99999999999999999999999",
    "-nan",        "1e39"};

// Written files with random damage: bytes changed, pieces or runs of a byte
// inserted, ranges cut, lines of the file spliced in elsewhere.
TEST(DesignFileMutation, DamagedFilesKeepTheBankSound) {
    const GuardedBank start = bank_to_read_into();
    const std::string original = write_design_text(start.bank, {});
    std::mt19937 random(20240611);
    const auto pick = [&random](std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(0, high)(random);
    };
    for (int round = 0; round < 1500; ++round) {
        std::string text = original;
        for (std::size_t changes = 1 + pick(3); changes > 0; --changes) {
            const std::size_t at = pick(text.size());
            const std::size_t from = original.rfind('\n', pick(original.size())) + 1;
            const char byte = static_cast<char>(pick(255));
            switch (pick(5)) {
            case 0:
                text.replace(at, 1, 1, byte);
                break;
            case 1:
                text.insert(at, kTokens[pick(std::size(kTokens) - 1)] + (pick(1) ? "\n" : ""));
                break;
            case 2:
                text.erase(at, pick(300));
                break;
            case 3:
                text.resize(at);
                break;
            case 4:
                text.insert(at, pick(200), byte);
                break;
            default:
                text.insert(at, original.substr(from, original.find('\n', from) - from + 1));
            }
        }
        auto read = std::make_unique<GuardedBank>(start);
        GlobalCorrections corrections;
        const auto messages = read_design_text(text, read->bank, corrections);
        ASSERT_EQ(broken_read_rule(start, *read, corrections, messages), "") << "round " << round;
    }
}

} // namespace
} // namespace sorrel
