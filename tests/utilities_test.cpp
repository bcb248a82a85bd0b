#include "model/text_format.h"
#include "utilities/air_density.h"
#include "utilities/conversions.h"
#include "utilities/reference_sheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace sorrel {
namespace {

// A Convert button: source field text in, output text (if any) out.
struct ConversionCase {
    const char* name;
    std::optional<std::string> (*convert)(std::string_view);
    const char* field;
    const char* expected;
};

class SingleConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(SingleConversion, WritesTheFormattedResult) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(c.convert(c.field), std::optional<std::string>(c.expected));
}

// The tie cases (85.04 x 0.88623 = 75.365, (1.49 - 32) x 5/9 = -16.95) come
// out as the single-precision formula rounds them.
INSTANTIATE_TEST_SUITE_P(
    Utilities, SingleConversion,
    testing::Values(ConversionCase{"RoundToPlank", plank_width_text, "0.75", " 0.66"},
                    ConversionCase{"PlankToRound", round_diameter_text, "0.66", " 0.74"},
                    ConversionCase{"UnitSquareToRound", round_diameter_text, "1", " 1.13"},
                    ConversionCase{"UnitRoundToPlank", plank_width_text, "1", " 0.89"},
                    ConversionCase{"PlankBackToRound", round_diameter_text, " 0.89", " 1.00"},
                    ConversionCase{"RoundTieInFloat", plank_width_text, "85.04", "75.36"},
                    ConversionCase{"Boiling", celsius_text, "212", "100.0"},
                    ConversionCase{"MinusForty", fahrenheit_text, "-40", "-40.0"},
                    ConversionCase{"FahrenheitTieInFloat", celsius_text, "1.49", "-17.0"},
                    ConversionCase{"LettersAfterNumber", celsius_text, "212F", "100.0"},
                    ConversionCase{"OnlyFirstNineCharacters", plank_width_text, "      0.75",
                                   " 0.62"}),
    [](const testing::TestParamInfo<ConversionCase>& info) { return info.param.name; });

TEST(Conversions, SourceNotBeginningWithANumberGivesNoOutput) {
    EXPECT_EQ(plank_width_text(""), std::nullopt);
    EXPECT_EQ(celsius_text("F"), std::nullopt);
    EXPECT_EQ(distance_texts(DistanceUnit::Inches, "in"), std::nullopt);
}

TEST(Conversions, TemperatureDialogOpensAtSeventyFahrenheit) {
    const TemperatureTexts start = temperature_start_texts();
    EXPECT_EQ(start.fahrenheit, " 70.0");
    EXPECT_EQ(start.celsius, " 21.1");
}

struct DistanceCase {
    const char* name;
    DistanceUnit source;
    const char* field;
    const char* feet;
    const char* inches;
    const char* centimetres;
};

class DistanceConversion : public testing::TestWithParam<DistanceCase> {};

TEST_P(DistanceConversion, WritesAllThreeUnits) {
    const DistanceCase& c = GetParam();
    const std::optional<DistanceTexts> texts = distance_texts(c.source, c.field);
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->feet, c.feet);
    EXPECT_EQ(texts->inches, c.inches);
    EXPECT_EQ(texts->centimetres, c.centimetres);
}

// The second output of "from feet" and "from centimetres" follows from the
// stored inches: 256.51 ft x 30.48 would be 7818.43 and 72.39 cm / 30.48 would
// be 2.37.
INSTANTIATE_TEST_SUITE_P(
    Utilities, DistanceConversion,
    testing::Values(
        DistanceCase{"OneFoot", DistanceUnit::Feet, "1", " 1.00", "12.00", "30.48"},
        DistanceCase{"OneMetre", DistanceUnit::Centimetres, "100", " 3.28", "39.37", "100.00"},
        DistanceCase{"WiderThanFormat", DistanceUnit::Inches, "1234.5", "102.88", "1234.50",
                     "3135.63"},
        DistanceCase{"LettersAfterNumber", DistanceUnit::Inches, "12in", " 1.00", "12.00", "30.48"},
        DistanceCase{"CentimetresFromStoredInches", DistanceUnit::Feet, "256.51", "256.51",
                     "3078.12", "7818.42"},
        DistanceCase{"FeetFromStoredInches", DistanceUnit::Centimetres, "72.39", " 2.38", "28.50",
                     "72.39"}),
    [](const testing::TestParamInfo<DistanceCase>& info) { return info.param.name; });

// Parses a density text and checks it within one unit of its last digit.
void expect_density_near(const std::string& text, double expected) {
    const std::optional<float> value = parse_float(text);
    ASSERT_TRUE(value) << text;
    EXPECT_NEAR(*value, expected, 1.5e-6) << text;
}

std::optional<AirDensityTexts> calculate(const char* temperature, const char* dewPoint,
                                         const char* pressure) {
    return air_density_texts({temperature, dewPoint, pressure});
}

TEST(AirDensity, StandardDayGivesTheKnownFigures) {
    const std::optional<AirDensityTexts> out = air_density_texts(air_input_start_texts());
    ASSERT_TRUE(out);
    EXPECT_EQ(out->humidity, "  49.1");
    EXPECT_EQ(out->virtualTemperature, "  72.4");
    expect_density_near(out->densityKgPerM3, 1.194028);
    expect_density_near(out->densityLbsPerFt3, 0.074541);
}

TEST(AirDensity, SaturatedFreezingAir) {
    const std::optional<AirDensityTexts> out = calculate("32", "32", "29.92");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->humidity, " 100.0");
    EXPECT_EQ(out->virtualTemperature, "  33.1");
    expect_density_near(out->densityKgPerM3, 1.289281);
}

TEST(AirDensity, DewPointAboveTemperatureIsNotClamped) {
    const std::optional<AirDensityTexts> out = calculate("70", "80", "29.92");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->humidity, " 139.6");
}

TEST(AirDensity, ZeroPressureShowsNonFiniteDensities) {
    const AirDensity air = air_density(70, 50, 0);
    EXPECT_FALSE(std::isfinite(air.densityKgPerM3));
    EXPECT_FALSE(std::isfinite(air.densityLbsPerFt3));
    const std::optional<AirDensityTexts> out = calculate("70", "50", "0");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->densityKgPerM3, format("%8.6f", double(air.densityKgPerM3)));
    EXPECT_EQ(out->densityLbsPerFt3, format("%8.6f", double(air.densityLbsPerFt3)));
    EXPECT_EQ(out->humidity, "  49.1");
}

TEST(AirDensity, AnInputNotBeginningWithANumberGivesNoOutput) {
    EXPECT_EQ(calculate("70", "dew", "29.92"), std::nullopt);
    EXPECT_EQ(calculate("70", "50", "-"), std::nullopt);
}

double fraction_value(std::string_view text) {
    double whole = 0;
    int numerator = 0;
    int denominator = 1;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%lf %d/%d", &whole, &numerator, &denominator) == 3)
        return whole + double(numerator) / denominator;
    if (std::sscanf(s.c_str(), "%d/%d", &numerator, &denominator) == 2)
        return double(numerator) / denominator;
    return whole;
}

TEST(DrillSheet, ListsTwentyThreeSizesAlignedOnTheSlash) {
    const auto& lines = drill_sheet_lines();
    EXPECT_EQ(lines.front(), " 0.063   1/16 ");
    EXPECT_EQ(lines[4], " 0.125   1/8  ");
    EXPECT_EQ(lines[7], " 0.172  11/64 ");
    EXPECT_EQ(lines.back(), " 0.500   1/2");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(std::string(lines[i]));
        if (i + 1 < lines.size()) {
            EXPECT_EQ(lines[i].size(), 14u);
        }
        EXPECT_EQ(lines[i].find('/'), 10u);
        // Decimals rounded half up: 1/16 = 0.0625 shows as 0.063.
        EXPECT_EQ(lines[i].substr(1, 5),
                  format("%5.3f", fraction_value(lines[i].substr(7)) + 1e-9));
        if (i > 0) {
            EXPECT_GT(lines[i], lines[i - 1]);
        }
    }
}

std::vector<std::string> cells(std::string_view row) {
    std::vector<std::string> result(1);
    for (const char c : row) {
        if (c == '\t')
            result.emplace_back();
        else
            result.back() += c;
    }
    return result;
}

TEST(TubingSheet, AluminiumRowsAreConsistent) {
    const TubingSheet& sheet = tubing_sheet();
    EXPECT_EQ(sheet.aluminiumRows[0], " 5/8\t0.625\t0.065\t0.495\t\t");
    EXPECT_EQ(sheet.aluminiumRows[5], "1    \t1.000\t0.058\t0.884\t?\t7/8\"");
    EXPECT_EQ(sheet.aluminiumRows[9], "1 3/8\t1.375\t0.058\t1.259\t\t1 1/4\"");
    for (const std::string_view row : sheet.aluminiumRows) {
        SCOPED_TRACE(std::string(row));
        const std::vector<std::string> c = cells(row);
        ASSERT_EQ(c.size(), 6u);
        const double od = std::stod(c[1]);
        EXPECT_DOUBLE_EQ(fraction_value(c[0]), od);
        EXPECT_NEAR(od - 2 * std::stod(c[2]), std::stod(c[3]), 1e-9);
    }
}

TEST(TubingSheet, MissingPipeValuesKeepTheirLabels) {
    EXPECT_EQ(tubing_sheet().copperPvcLines[4], "1\"  Sched 40 PVC  Bore =   Thickness = ");
}

TEST(AboutBox, LinesEndInSingleCarriageReturns) {
    const std::string_view text = about_text();
    EXPECT_TRUE(text.starts_with("Sorrel - "));
    EXPECT_TRUE(text.ends_with("\r\rEnjoy!\r"));
    EXPECT_EQ(text.find('\n'), std::string_view::npos);
    const std::size_t firstBreak = text.find('\r');
    EXPECT_EQ(text.substr(firstBreak, 14), "\rVersion 3.3\r\r");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 8);
}

} // namespace
} // namespace sorrel
