#include "model/text_format.h"

#include <clocale>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// Runs each test with the process in a comma-decimal locale, as a German
// desktop (and QApplication) would set it.
class CommaDecimalLocale : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "the de_DE.UTF-8 locale is missing: run scripts/setup.sh";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        ASSERT_STREQ(probe, "0,5") << "the locale does not use a decimal comma";
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

// Fields are read from their first nine characters, words from their first
// nineteen.
TEST_F(CommaDecimalLocale, FormatsAndParsesWithADecimalPoint) {
    EXPECT_EQ(format("%8.3f - %s : %s", 587.330017, "D5", "High-D"), " 587.330 - D5 : High-D");
    EXPECT_EQ(format("%02d|%01d|%1d", 3, 2, -1), "03|2|-1");
    EXPECT_EQ(parse_float("1.5"), 1.5f);
    EXPECT_EQ(parse_float("  2.75xyz"), 2.75f);
    EXPECT_EQ(read_float_field("1046.5030"), 1046.503f);
    EXPECT_EQ(read_int_field("1234567891"), 123456789);
    EXPECT_EQ(read_word_field("abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrs");
}

// Outputs around the 256-character buffer keep every character, the last included.
TEST(Format, KeepsEveryCharacterAroundItsBuffer) {
    for (std::size_t length : {255u, 256u, 257u, 1000u}) {
        std::string text(length - 1, 'x');
        text += 'y';
        EXPECT_EQ(format("%s", text.c_str()), text) << length;
    }
    EXPECT_EQ(format("%f", 1e300).size(), 308u);
}

} // namespace
} // namespace sorrel
