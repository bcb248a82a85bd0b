#include "tests/design_file_invariants.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>

namespace sorrel {
namespace {

// Pieces that steer the reader into its rarer paths when dropped anywhere.
const std::string kTokens[] = {"[CIRCUIT]=",
                               "[CIRCUIT]=-1\n",
                               "[CIRCUIT]=40\n",
                               "[CIRCUIT]=2147483647\n",
                               "[CIRCUIT]",
                               "[EOF]",
                               "UNITS=170\n",
                               "UNIT=85\n",
                               "UNIT=170",
                               "ENDCOR=0.75\n",
                               "=",
                               ";",
                               "\r",
                               "\n",
                               std::string(1, '\0'),
                               std::string(200, 'x'),
                               "99999999999999999999999",
                               "DESC=",
                               "FILENAME=",
                               "-nan",
                               "1e39"};

class Mutator {
public:
    explicit Mutator(std::string_view original) : original_(original) {}

    std::string damaged() {
        std::string text(original_);
        const int steps = pick(1, 4);
        for (int step = 0; step < steps; ++step)
            damage(text);
        return text;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
    std::size_t position(std::string_view text) {
        return std::uniform_int_distribution<std::size_t>(0, text.size())(random_);
    }

    void damage(std::string& text) {
        switch (pick(0, 4)) {
        case 0: // one byte of any value
            if (!text.empty())
                text[position(text) % text.size()] = static_cast<char>(pick(0, 255));
            break;
        case 1:
            text.insert(position(text), kTokens[static_cast<std::size_t>(
                                            pick(0, static_cast<int>(std::size(kTokens)) - 1))]);
            break;
        case 2:
            text.erase(position(text), static_cast<std::size_t>(pick(1, 300)));
            break;
        case 3:
            text.resize(position(text));
            break;
        default: { // a line of the original spliced in elsewhere
            const std::size_t from = original_.rfind('\n', position(original_)) + 1;
            const std::size_t to = original_.find('\n', from);
            text.insert(position(text), original_.substr(from, to - from + 1));
        }
        }
    }

    std::string_view original_;
    std::mt19937 random_{20240611};
};

// Written files with random damage: bytes changed, pieces inserted, ranges cut,
// lines spliced in elsewhere.
TEST(DesignFileMutation, DamagedFilesKeepTheBankSound) {
    const GuardedBank start = bank_to_read_into();
    const GlobalCorrections corrections;
    const std::string original = write_design_text(start.bank, corrections);
    Mutator mutator(original);

    for (int round = 0; round < 1500; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string text = mutator.damaged();
        auto read = std::make_unique<GuardedBank>(start);
        GlobalCorrections readCorrections = corrections;
        const auto messages = read_design_text(text, read->bank, readCorrections);
        const std::string broken = broken_read_rule(start, *read, readCorrections, messages);
        ASSERT_EQ(broken, "");
    }
}

} // namespace
} // namespace sorrel
