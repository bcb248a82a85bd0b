#include "model/text_format.h"
#include "utilities/air_density.h"
#include "utilities/conversions.h"
#include "utilities/reference_sheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>

namespace sorrel {
namespace {

// What a Convert or Calculate button writes, its output fields joined with
// '|' in the order the dialog shows them; nothing when it writes nothing.
using Written = std::optional<std::string>;

Written distances(DistanceUnit source, const char* field) {
    const std::optional<DistanceTexts> t = distance_texts(source, field);
    return t ? Written(t->feet + '|' + t->inches + '|' + t->centimetres) : std::nullopt;
}

// Humidity | virtual temperature | kg/m3 | lbs/ft3.
Written air(const AirInputTexts& inputs) {
    const std::optional<AirDensityTexts> t = air_density_texts(inputs);
    return t ? Written(t->humidity + '|' + t->virtualTemperature + '|' + t->densityKgPerM3 + '|' +
                       t->densityLbsPerFt3)
             : std::nullopt;
}

using enum DistanceUnit;

// Expected figures are worked by hand or taken from makers' tables; the
// "float" rows come out as only a single-precision chain gives them: 85.04 x
// 0.88623 = 75.365 and (1.49 - 32) x 5/9 = -16.95 are ties that an unrounded
// double shows the other way, and "from feet" and "from centimetres" derive
// their second output from the inches as stored (683.1 ft x 30.48 would be
// 20820.89, 415.29 cm / 30.48 would be 13.63). Large inputs show every digit
// of a factor. The air density rows were worked independently from the
// Magnus vapour pressure and the virtual-temperature density formula in
// single precision; nothing is clamped, so a dew point above the air gives
// over 100 % and a zero pressure 0 / -0 densities.
TEST(Utilities, WriteTheFiguresAMakerReads) {
    const TemperatureTexts start = temperature_start_texts();
    const std::tuple<const char*, Written, Written> cases[] = {
        // what, written, expected
        {"0.75 round -> plank", plank_width_text("0.75"), " 0.66"},
        {"1000 round -> plank", plank_width_text("1000"), "886.23"},
        {"1000 plank -> round", round_diameter_text("1000"), "1128.38"},
        {"unit plank -> round", round_diameter_text("1"), " 1.13"},
        {"85.04 round -> plank, float", plank_width_text("85.04"), "75.36"},
        {"only nine characters read", plank_width_text("      0.75"), " 0.62"},
        {"212F -> C", celsius_text("212F"), "100.0"},
        {"10000 F -> C", celsius_text("10000"), "5537.8"},
        {"100 C -> F", fahrenheit_text("100"), "212.0"},
        {"-40 C -> F", fahrenheit_text("-40"), "-40.0"},
        {"1.49 F -> C, float", celsius_text("1.49"), "-17.0"},
        {"opening F|C", start.fahrenheit + '|' + start.celsius, " 70.0| 21.1"},
        {"1 ft", distances(Feet, "1"), " 1.00|12.00|30.48"},
        {"100 cm", distances(Centimetres, "100"), " 3.28|39.37|100.00"},
        {"1234.5 in, wider than the format", distances(Inches, "1234.5"), "102.88|1234.50|3135.63"},
        {"12in", distances(Inches, "12in"), " 1.00|12.00|30.48"},
        {"683.1 ft, float", distances(Feet, "683.1"), "683.10|8197.20|20820.88"},
        {"415.29 cm, float", distances(Centimetres, "415.29"), "13.62|163.50|415.29"},
        {"air as opened, 70/50/29.92", air(air_input_start_texts()),
         "  49.1|  72.4|1.194028|0.074541"},
        {"saturated freezing air", air({"32", "32", "29.92"}), " 100.0|  33.1|1.289281|0.080487"},
        {"dew point above the air", air({"70", "80", "29.92"}), " 139.6|  77.0|1.183909|0.073909"},
        {"humid summer high", air({"95", "90", "31.5"}), "  85.6| 104.6|1.185424|0.074004"},
        {"zero pressure", air({"70", "50", "0"}), "  49.1|-459.7|    -nan|    -nan"},
        {"bore, no number", plank_width_text(""), std::nullopt},
        {"temperature, no number", celsius_text("F"), std::nullopt},
        {"distance, no number", distances(Inches, "in"), std::nullopt},
        {"dew point, no number", air({"70", "dew", "29.92"}), std::nullopt},
        {"pressure, no number", air({"70", "50", "-"}), std::nullopt},
    };
    for (const auto& [label, written, expected] : cases)
        EXPECT_EQ(written, expected) << label;
}

// Each line is its fraction's decimal rounded half up (1/16 = 0.0625 shows
// as 0.063), aligned on the slash and padded to 14 characters, bar the last.
TEST(ReferenceSheets, DrillLinesAreTheirFractionsInAscendingOrder) {
    const auto& lines = drill_sheet_lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line(lines[i]);
        int numerator = 0;
        int denominator = 1;
        EXPECT_EQ(std::sscanf(line.c_str(), "%*f %d/%d", &numerator, &denominator), 2) << line;
        const std::string padded = format(" %5.3f %3d/%-3d", double(numerator) / denominator + 1e-9,
                                          numerator, denominator);
        EXPECT_EQ(line, i + 1 < lines.size() ? padded : padded.substr(0, 12));
        EXPECT_TRUE(i == 0 || lines[i - 1] < lines[i]) << line;
    }
}

// Six cells to a row; the bore is the outside diameter less two walls.
TEST(ReferenceSheets, TubingBoreIsOutsideLessTwoWalls) {
    for (const std::string_view row : tubing_sheet().aluminiumRows) {
        const std::string text(row);
        double outside = 0, wall = 0, bore = 0;
        EXPECT_EQ(std::sscanf(text.c_str(), "%*[^\t]\t%lf\t%lf\t%lf", &outside, &wall, &bore), 3);
        EXPECT_NEAR(outside - 2 * wall, bore, 1e-9) << text;
        EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 5) << text;
    }
}

} // namespace
} // namespace sorrel
