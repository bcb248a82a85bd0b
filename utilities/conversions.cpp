#include "utilities/conversions.h"

#include "model/text_format.h"

#include <cmath>

namespace sorrel {
namespace {

constexpr float kRoundToSquare = 0.88623f; // sqrt(pi) / 2
constexpr float kSquareToRound = 1.12838f; // 2 / sqrt(pi)
constexpr float kFahrenheitOffset = 32.0f;
constexpr float kFahrenheitToCelsius = 0.5555556f;
constexpr float kCelsiusToFahrenheit = 1.8f;
constexpr float kInchesPerFoot = 12.0f;
constexpr float kCentimetresPerInch = 2.54f;

constexpr float kStartFahrenheit = 70.0f;
constexpr float kAbsoluteZeroF = -459.67f;
constexpr float kAbsoluteZeroC = -273.15f;

// Side of the square with the cross-section area of a round bore of `diameter`.
float round_to_square(float diameter) {
    return diameter * kRoundToSquare;
}

// Diameter of the round bore with the cross-section area of a square of `side`.
float square_to_round(float side) {
    return side * kSquareToRound;
}

// One distance in all three units.
struct Distance {
    float feet = 0;
    float inches = 0;
    float centimetres = 0;
};

// From feet and from centimetres, the second figure follows from the inches
// as stored, not from the source.
Distance distance_from(DistanceUnit unit, float value) {
    switch (unit) {
    case DistanceUnit::Feet: {
        const float inches = value * kInchesPerFoot;
        return {value, inches, inches * kCentimetresPerInch};
    }
    case DistanceUnit::Inches:
        return {value / kInchesPerFoot, value, value * kCentimetresPerInch};
    case DistanceUnit::Centimetres: {
        const float inches = value / kCentimetresPerInch;
        return {inches / kInchesPerFoot, inches, value};
    }
    }
    return {};
}

std::string tenths(float value) {
    return format("%5.1f", double(value));
}

std::string hundredths(float value) {
    return format("%5.2f", double(value));
}

// What a Convert button writes: `convert` of the field's number, shown with
// `show`, or nothing when the field does not begin with a number.
std::optional<std::string> converted_text(std::string_view field, float (*convert)(float),
                                          std::string (*show)(float)) {
    const std::optional<float> value = read_float_field(field);
    if (!value)
        return std::nullopt;
    return show(convert(*value));
}

} // namespace

float fahrenheit_to_celsius(float fahrenheit) {
    const float aboveFreezing = fahrenheit - kFahrenheitOffset;
    return aboveFreezing * kFahrenheitToCelsius;
}

float celsius_to_fahrenheit(float celsius) {
    const float scaled = celsius * kCelsiusToFahrenheit;
    return scaled + kFahrenheitOffset;
}

bool is_possible_fahrenheit(float fahrenheit) {
    return std::isfinite(fahrenheit) && fahrenheit >= kAbsoluteZeroF;
}

bool is_possible_celsius(float celsius) {
    return std::isfinite(celsius) && celsius >= kAbsoluteZeroC;
}

std::optional<std::string> plank_width_text(std::string_view roundField) {
    return converted_text(roundField, round_to_square, hundredths);
}

std::optional<std::string> round_diameter_text(std::string_view plankField) {
    return converted_text(plankField, square_to_round, hundredths);
}

TemperatureTexts temperature_start_texts() {
    return {tenths(kStartFahrenheit), tenths(fahrenheit_to_celsius(kStartFahrenheit))};
}

std::optional<std::string> celsius_text(std::string_view fahrenheitField) {
    return converted_text(fahrenheitField, fahrenheit_to_celsius, tenths);
}

std::optional<std::string> fahrenheit_text(std::string_view celsiusField) {
    return converted_text(celsiusField, celsius_to_fahrenheit, tenths);
}

std::optional<DistanceTexts> distance_texts(DistanceUnit source, std::string_view sourceField) {
    const std::optional<float> value = read_float_field(sourceField);
    if (!value)
        return std::nullopt;
    const Distance distance = distance_from(source, *value);
    return DistanceTexts{hundredths(distance.feet), hundredths(distance.inches),
                         hundredths(distance.centimetres)};
}

} // namespace sorrel
