#include "files/design_file.h"

#include "model/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace sorrel {
namespace {

// Pieces that steer the reader into its rarer paths when dropped anywhere.
const std::string kTokens[] = {"[CIRCUIT]=",
                               "[CIRCUIT]=-7\n",
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

// The bank followed by a record the reader must never reach.
struct GuardedBank {
    CircuitBank bank;
    CircuitRecord guard;
};

template <std::size_t Width> bool terminated(const FixedText<Width>& text) {
    return text.view().size() <= FixedText<Width>::kMaxLength &&
           text.view().find('\n') == std::string_view::npos;
}

void check_read(const GuardedBank& before, const GuardedBank& after,
                const GlobalCorrections& corrections, const std::vector<VersionMessage>& messages) {
    EXPECT_TRUE(after.guard == before.guard);
    EXPECT_EQ(after.bank.currentIndex, before.bank.currentIndex);
    EXPECT_LE(messages.size(), 2u);
    EXPECT_NE(corrections.ENDCOR, 0.75f);
    EXPECT_NE(corrections.CHMCOR, 0.75f);
    for (std::size_t i = 0; i < after.bank.slots.size(); ++i) {
        const CircuitRecord& slot = after.bank.slots[i];
        CircuitRecord expected = before.bank.slots[i];
        if (const auto factor = unit_switch_factor(expected.UNIT, slot.UNIT))
            scale_bore_at_holes(expected, *factor);
        EXPECT_EQ(slot.BDI, expected.BDI) << "slot " << i;
        EXPECT_EQ(slot.BDC, expected.BDC) << "slot " << i;
        EXPECT_TRUE(terminated(slot.FILENAME) && terminated(slot.DESC) && terminated(slot.MATL))
            << "slot " << i;
    }
    const std::string rewritten = write_design_text(after.bank, corrections);
    EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '\n'), 6648);
}

TEST(DesignFileMutation, DamagedFilesKeepTheBankSound) {
    GuardedBank start{startup_state().bank, default_circuit()};
    for (std::size_t i = 0; i < start.bank.slots.size(); ++i) {
        CircuitRecord& slot = start.bank.slots[i];
        slot.UNIT = i % 2 == 0 ? UNIT_METRIC : UNIT_ENGLISH;
        slot.DESC.assign(std::string(27, 'd'));
        for (std::size_t k = 0; k < slot.BDI.size(); ++k) {
            slot.BDI[k] = static_cast<float>(i) + 0.125f * static_cast<float>(k);
            slot.BDC[k] = -slot.BDI[k];
        }
    }
    const GlobalCorrections corrections;
    const std::string original = write_design_text(start.bank, corrections);
    Mutator mutator(original);

    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string text = mutator.damaged();
        auto read = std::make_unique<GuardedBank>(start);
        GlobalCorrections readCorrections = corrections;
        const auto messages = read_design_text(text, read->bank, readCorrections);
        check_read(start, *read, readCorrections, messages);
        if (HasFailure())
            return;
    }
}

} // namespace
} // namespace sorrel
