#include "utilities/conversions.h"

#include "model/text_format.h"

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

std::string bore_text(float value) {
    return format("%5.2f", double(value));
}
std::string temperature_text(float value) {
    return format("%5.1f", double(value));
}
std::string distance_text(float value) {
    return format("%5.2f", double(value));
}

Distance distance_from(DistanceUnit unit, float value) {
    switch (unit) {
    case DistanceUnit::Feet:
        return distance_from_feet(value);
    case DistanceUnit::Inches:
        return distance_from_inches(value);
    case DistanceUnit::Centimetres:
        return distance_from_centimetres(value);
    }
    return {};
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

float round_to_square(float diameter) {
    return diameter * kRoundToSquare;
}

float square_to_round(float side) {
    return side * kSquareToRound;
}

float fahrenheit_to_celsius(float fahrenheit) {
    const float aboveFreezing = fahrenheit - kFahrenheitOffset;
    return aboveFreezing * kFahrenheitToCelsius;
}

float celsius_to_fahrenheit(float celsius) {
    const float scaled = celsius * kCelsiusToFahrenheit;
    return scaled + kFahrenheitOffset;
}

// The centimetres follow from the inches as stored, not from the feet.
Distance distance_from_feet(float feet) {
    const float inches = feet * kInchesPerFoot;
    return {feet, inches, inches * kCentimetresPerInch};
}

Distance distance_from_inches(float inches) {
    return {inches / kInchesPerFoot, inches, inches * kCentimetresPerInch};
}

// The feet follow from the inches as stored, not from the centimetres.
Distance distance_from_centimetres(float centimetres) {
    const float inches = centimetres / kCentimetresPerInch;
    return {inches / kInchesPerFoot, inches, centimetres};
}

std::optional<std::string> plank_width_text(std::string_view roundField) {
    return converted_text(roundField, round_to_square, bore_text);
}

std::optional<std::string> round_diameter_text(std::string_view plankField) {
    return converted_text(plankField, square_to_round, bore_text);
}

TemperatureTexts temperature_start_texts() {
    return {temperature_text(kStartFahrenheit),
            temperature_text(fahrenheit_to_celsius(kStartFahrenheit))};
}

std::optional<std::string> celsius_text(std::string_view fahrenheitField) {
    return converted_text(fahrenheitField, fahrenheit_to_celsius, temperature_text);
}

std::optional<std::string> fahrenheit_text(std::string_view celsiusField) {
    return converted_text(celsiusField, celsius_to_fahrenheit, temperature_text);
}

std::optional<DistanceTexts> distance_texts(DistanceUnit source, std::string_view sourceField) {
    const std::optional<float> value = read_float_field(sourceField);
    if (!value)
        return std::nullopt;
    const Distance distance = distance_from(source, *value);
    return DistanceTexts{distance_text(distance.feet), distance_text(distance.inches),
                         distance_text(distance.centimetres)};
}

} // namespace sorrel
