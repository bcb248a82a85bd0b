#include "model/text_format.h"

#include "model/message_quote.h"

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

// A number field's whole text must be one number, under any locale.
TEST_F(CommaDecimalLocale, AWholeNumberIsTheWholeText) {
    const std::pair<const char*, std::optional<double>> rows[] = {{"7,5", std::nullopt},
                                                                  {"40mm", std::nullopt},
                                                                  {"136,9", std::nullopt},
                                                                  {"", std::nullopt},
                                                                  {"  ", std::nullopt},
                                                                  {"inf", std::nullopt},
                                                                  {"nan", std::nullopt},
                                                                  {"+-3", std::nullopt},
                                                                  {"1.5.2", std::nullopt},
                                                                  {" 7.5 ", 7.5},
                                                                  {"+2", 2.0},
                                                                  {"-0.25", -0.25},
                                                                  {"1e-3", 0.001},
                                                                  {"290.5", 290.5}};
    for (const auto& [text, number] : rows)
        EXPECT_EQ(parse_whole_number(text), number) << text;
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

// Text from a file or the command line as messages show it: what a
// terminal would act on is spelled out, a long text is cut.
TEST(Quoted, EscapesWhatATerminalWouldActOnAndShortens) {
    const std::pair<std::string, std::string> cases[] = {
        {"lenght_mm", R"("lenght_mm")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\x1b[2Jgone", R"("\x1b[2Jgone")"},
        {"tab\there\n\x7f", R"("tab\x09here\x0a\x7f")"},
        {"caf\xc3\xa9 \xf0\x9f\x8e\xb5", "\"caf\xc3\xa9 \xf0\x9f\x8e\xb5\""}, // é and a note kept
        {"\xc2\x9b"
         "2J",
         R"("\xc2\x9b2J")"},                   // the one-character CSI, as UTF-8
        {"caf\xe9", R"("caf\xe9")"},           // Latin-1 is no UTF-8
        {"\xc0\xaf", R"("\xc0\xaf")"},         // an overlong "/"
        {"\xed\xa0\x80", R"("\xed\xa0\x80")"}, // a surrogate
        {"\xe2\x82", R"("\xe2\x82")"},         // cut short
        {std::string(40, 'k'), '"' + std::string(40, 'k') + '"'},
        {std::string(100'000, 'k'), '"' + std::string(40, 'k') + "...\""},
        {std::string(39, 'k') + "\xc3\xa9z", '"' + std::string(39, 'k') + "\xc3\xa9...\""},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(quote_for_message(text), shown);
}

} // namespace
} // namespace sorrel
