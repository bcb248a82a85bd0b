#include "utilities/workshop_calculators.h"

#include "model/text_format.h"
#include "utilities/air_density.h"
#include "utilities/conversions.h"
#include "utilities/utility_dialog.h"

namespace sorrel::ui {
namespace {

using enum ControlKind;

constexpr int kRoundField = 4150;
constexpr int kPlankField = 4151;
constexpr int kRoundToSquare = 4152;
constexpr int kSquareToRound = 4153;

constexpr ControlTemplate kBoreShapeControls[] = {
    {kUnnumbered, Text, "For calculating the equivalent areas.", 3, 5, 184, 9},
    {kUnnumbered, Text, "Round Diameter:", 4, 26, 55, 10},
    {kRoundField, Edit, "", 66, 23, 40, 13},
    {kRoundToSquare, Button, "Convert", 121, 23, 34, 14},
    {kUnnumbered, Text, "Plank Width:", 5, 47, 49, 7},
    {kPlankField, Edit, "", 66, 45, 40, 13},
    {kSquareToRound, Button, "Convert", 121, 44, 34, 14},
    {kOkCommand, DefaultButton, "OK", 162, 26, 38, 31},
};

constexpr DialogTemplate kBoreShapeTemplate = {
    "SQUAREBORE", "Round/Square Bore Conversion", 206, 90, "MS Sans Serif", 8, kBoreShapeControls};

constexpr int kFahrenheitField = 4154;
constexpr int kCelsiusField = 4155;
constexpr int kFahrenheitToCelsius = 4156;
constexpr int kCelsiusToFahrenheit = 4157;

constexpr ControlTemplate kTemperatureControls[] = {
    {kUnnumbered, Text, "Fahrenheit:", 4, 26, 36, 7},
    {kFahrenheitField, Edit, "", 46, 23, 40, 13},
    {kFahrenheitToCelsius, Button, "Convert", 91, 23, 34, 14},
    {kUnnumbered, Text, "Celsius:", 5, 47, 36, 7},
    {kCelsiusField, Edit, "", 46, 45, 40, 13},
    {kCelsiusToFahrenheit, Button, "Convert", 91, 44, 34, 14},
    {kOkCommand, DefaultButton, "OK", 138, 26, 38, 31},
};

constexpr DialogTemplate kTemperatureTemplate = {
    "TEMPCONV", "Temperature Conversion", 185, 84, "MS Sans Serif", 8, kTemperatureControls};

constexpr int kFromInches = 4220;
constexpr int kInchesField = 4221;
constexpr int kFeetField = 4222;
constexpr int kCentimetresField = 4223;
constexpr int kFromFeet = 4224;
constexpr int kFromCentimetres = 4225;

constexpr ControlTemplate kDistanceControls[] = {
    {kUnnumbered, Text, "Feet:", 4, 8, 36, 7},
    {kFeetField, Edit, "", 46, 5, 40, 13},
    {kFromFeet, Button, "Convert", 91, 5, 34, 14},
    {kUnnumbered, Text, "Inches:", 4, 26, 36, 7},
    {kInchesField, Edit, "", 46, 23, 40, 13},
    {kFromInches, Button, "Convert", 91, 23, 34, 14},
    // Three units wider than designed, up to the field, so that the colon
    // shows in the wider fonts that stand in for MS Sans Serif.
    {kUnnumbered, Text, "Centimeters:", 4, 44, 42, 7},
    {kCentimetresField, Edit, "", 46, 42, 40, 13},
    {kFromCentimetres, Button, "Convert", 91, 41, 34, 14},
    {kOkCommand, DefaultButton, "OK", 138, 26, 38, 31},
};

constexpr DialogTemplate kDistanceTemplate = {
    "DISTDLG", "Distance Conversion", 186, 66, "MS Sans Serif", 8, kDistanceControls};

constexpr int kTemperatureField = 2007;
constexpr int kDewPointField = 4160;
constexpr int kPressureField = 4161;
constexpr int kVirtualTemperatureField = 4162;
constexpr int kLbsPerFt3Field = 4163;
constexpr int kKgPerM3Field = 4164;
constexpr int kCalculate = 4165;
constexpr int kHumidityField = 4166;

constexpr ControlTemplate kAirDensityControls[] = {
    {kUnnumbered, Text, "Temperature:", 4, 14, 51, 8},
    {kTemperatureField, Edit, "", 68, 13, 38, 11},
    {kUnnumbered, Text, "Deg.F", 106, 15, 21, 8},
    {kUnnumbered, Text, "Dewpoint:", 4, 28, 41, 8},
    {kDewPointField, Edit, "", 68, 27, 38, 11},
    {kUnnumbered, Text, "Deg.F", 107, 29, 21, 8},
    {kUnnumbered, Text, "Barometric Press:", 4, 42, 60, 8},
    {kPressureField, Edit, "", 68, 41, 38, 11},
    {kUnnumbered, Text, "\"HgA", 106, 42, 21, 8},
    {kCalculate, Button, "Calculate", 74, 57, 58, 11},
    {kUnnumbered, Text, "Virtual Temp:", 5, 74, 49, 8},
    {kVirtualTemperatureField, ResultEdit, "", 65, 73, 41, 11},
    {kUnnumbered, Text, "Deg.F", 107, 74, 21, 8},
    {kUnnumbered, Text, "Humidity:", 5, 87, 49, 8},
    {kHumidityField, ResultEdit, "", 65, 87, 41, 11},
    {kUnnumbered, Text, "%", 107, 87, 21, 8},
    {kUnnumbered, Text, "Density:", 5, 102, 35, 8},
    {kLbsPerFt3Field, ResultEdit, "", 54, 101, 52, 11},
    {kUnnumbered, Text, "lbs/ft3", 107, 103, 21, 8},
    {kUnnumbered, Text, "Density:", 5, 116, 33, 8},
    {kKgPerM3Field, ResultEdit, "", 54, 115, 52, 11},
    {kUnnumbered, Text, "kg/m3", 107, 117, 21, 8},
    {kOkCommand, DefaultButton, "OK", 85, 134, 50, 14},
};

constexpr DialogTemplate kAirDensityTemplate = {
    "DENSITY", "Air Density Formula", 138, 151, "MS Sans Serif", 8, kAirDensityControls};

std::optional<FieldTexts> one_text(std::optional<std::string> text) {
    if (!text)
        return std::nullopt;
    return FieldTexts{std::move(*text)};
}

// Feet, inches and centimetres, in that order.
std::optional<FieldTexts> all_distances(const std::optional<DistanceTexts>& texts) {
    if (!texts)
        return std::nullopt;
    return FieldTexts{texts->feet, texts->inches, texts->centimetres};
}

template <DistanceUnit source> std::optional<FieldTexts> distances_from(const FieldTexts& sources) {
    return all_distances(distance_texts(source, sources[0]));
}

const std::vector<int> kDistanceFields = {kFeetField, kInchesField, kCentimetresField};

// A temperature field colder than absolute zero, or not a finite number.
template <bool (*possible)(float), const char* rule>
std::optional<SourceFault> impossible_temperature(const FieldTexts& sources) {
    const std::optional<float> value = read_float_field(sources[0]);
    if (value && !possible(*value))
        return SourceFault{0, rule};
    return std::nullopt;
}

constexpr char kFahrenheitRule[] = "must be a number of -459.67 or more";
constexpr char kCelsiusRule[] = "must be a number of -273.15 or more";

std::optional<SourceFault> impossible_air(const FieldTexts& sources) {
    const std::optional<float> temperature = read_float_field(sources[0]);
    const std::optional<float> dewPoint = read_float_field(sources[1]);
    const std::optional<float> pressure = read_float_field(sources[2]);
    if (!temperature || !dewPoint || !pressure)
        return std::nullopt; // not numbers: nothing is computed
    const auto fault = find_impossible_air_input(*temperature, *dewPoint, *pressure);
    if (!fault)
        return std::nullopt;
    return SourceFault{static_cast<std::size_t>(fault->input), fault->rule};
}

// The conversions open near the main window's top-left corner.
constexpr int kConversionX = 10;
constexpr int kConversionY = 40;

void run_conversion(const DialogTemplate& dialog, const std::vector<FieldText>& opening,
                    const std::vector<FieldText>& spokenNames, std::vector<WorkingButton> buttons,
                    Feedback& feedback, QWidget* owner) {
    UtilityDialog converter(dialog, opening, spokenNames, std::move(buttons), &feedback, owner);
    if (owner != nullptr) {
        const DialogUnitScale& scale = converter.unit_scale();
        converter.move(owner->mapToGlobal(
            QPoint(horizontal_pixels(kConversionX, scale), vertical_pixels(kConversionY, scale))));
    }
    converter.run_modal();
}

} // namespace

void convert_bore_shape(QWidget* owner, Feedback& feedback) {
    run_conversion(kBoreShapeTemplate, {},
                   {{kRoundToSquare, "Convert round diameter to plank width"},
                    {kSquareToRound, "Convert plank width to round diameter"}},
                   {{kRoundToSquare,
                     {kRoundField},
                     [](const FieldTexts& in) { return one_text(plank_width_text(in[0])); },
                     {kPlankField}},
                    {kSquareToRound,
                     {kPlankField},
                     [](const FieldTexts& in) { return one_text(round_diameter_text(in[0])); },
                     {kRoundField}}},
                   feedback, owner);
}

void convert_temperature(QWidget* owner, Feedback& feedback) {
    const TemperatureTexts start = temperature_start_texts();
    run_conversion(kTemperatureTemplate,
                   {{kFahrenheitField, start.fahrenheit}, {kCelsiusField, start.celsius}},
                   {{kFahrenheitToCelsius, "Convert Fahrenheit to Celsius"},
                    {kCelsiusToFahrenheit, "Convert Celsius to Fahrenheit"}},
                   {{kFahrenheitToCelsius,
                     {kFahrenheitField},
                     [](const FieldTexts& in) { return one_text(celsius_text(in[0])); },
                     {kCelsiusField},
                     impossible_temperature<is_possible_fahrenheit, kFahrenheitRule>},
                    {kCelsiusToFahrenheit,
                     {kCelsiusField},
                     [](const FieldTexts& in) { return one_text(fahrenheit_text(in[0])); },
                     {kFahrenheitField},
                     impossible_temperature<is_possible_celsius, kCelsiusRule>}},
                   feedback, owner);
}

void convert_distance(QWidget* owner, Feedback& feedback) {
    run_conversion(
        kDistanceTemplate, {},
        {{kFromFeet, "Convert from feet"},
         {kFromInches, "Convert from inches"},
         {kFromCentimetres, "Convert from centimeters"}},
        {{kFromFeet, {kFeetField}, distances_from<DistanceUnit::Feet>, kDistanceFields},
         {kFromInches, {kInchesField}, distances_from<DistanceUnit::Inches>, kDistanceFields},
         {kFromCentimetres,
          {kCentimetresField},
          distances_from<DistanceUnit::Centimetres>,
          kDistanceFields}},
        feedback, owner);
}

void calculate_air_density(QWidget* owner, Feedback& feedback) {
    const AirInputTexts start = air_input_start_texts();
    UtilityDialog dialog(
        kAirDensityTemplate,
        {{kTemperatureField, start.temperature},
         {kDewPointField, start.dewPoint},
         {kPressureField, start.pressure}},
        {{kLbsPerFt3Field, "Density, lbs/ft3"},
         {kKgPerM3Field, "Density, kg/m3"},
         {kPressureField, "Barometric Press, inches of mercury"}},
        {{kCalculate,
          {kTemperatureField, kDewPointField, kPressureField},
          [](const FieldTexts& in) -> std::optional<FieldTexts> {
              const auto texts = air_density_texts({in[0], in[1], in[2]});
              if (!texts)
                  return std::nullopt;
              return FieldTexts{texts->humidity, texts->virtualTemperature, texts->densityKgPerM3,
                                texts->densityLbsPerFt3};
          },
          // In the order the outputs appear.
          {kHumidityField, kVirtualTemperatureField, kKgPerM3Field, kLbsPerFt3Field},
          impossible_air}},
        &feedback, owner);
    dialog.run_modal();
}

} // namespace sorrel::ui
