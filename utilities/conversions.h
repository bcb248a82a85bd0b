#pragma once
// The workshop conversions: round bore to square bore of the same area,
// Fahrenheit to Celsius, feet to inches to centimetres. Each works in single
// precision, every intermediate a float: near a rounding tie the last shown
// digit depends on it. The *_text functions are the dialogs' Convert
// buttons: they read the source field's text and return the texts to write,
// or nothing when the source does not begin with a number (the other fields
// then keep what they show).

#include <optional>
#include <string>
#include <string_view>

namespace sorrel {

float fahrenheit_to_celsius(float fahrenheit);
float celsius_to_fahrenheit(float celsius);

// Whether a temperature can exist: a number no colder than absolute zero,
// -459.67 °F or -273.15 °C.
bool is_possible_fahrenheit(float fahrenheit);
bool is_possible_celsius(float celsius);

// Round/Square Bore Conversion: the plank width for a round-diameter field
// and the round diameter for a plank-width field ("%5.2f").
std::optional<std::string> plank_width_text(std::string_view roundField);
std::optional<std::string> round_diameter_text(std::string_view plankField);

// Temperature Conversion ("%5.1f").
struct TemperatureTexts {
    std::string fahrenheit;
    std::string celsius;
};

// What the dialog shows when it opens: 70 °F and its Celsius value.
TemperatureTexts temperature_start_texts();
std::optional<std::string> celsius_text(std::string_view fahrenheitField);
std::optional<std::string> fahrenheit_text(std::string_view celsiusField);

// Distance Conversion ("%5.2f"). All three texts are returned; the dialog
// writes the two that are not the source field.
enum class DistanceUnit { Feet, Inches, Centimetres };

struct DistanceTexts {
    std::string feet;
    std::string inches;
    std::string centimetres;
};

std::optional<DistanceTexts> distance_texts(DistanceUnit source, std::string_view sourceField);

} // namespace sorrel
