#pragma once
// Humidity, virtual temperature and density of moist air from the figures of
// a weather report: air temperature and dew point in degrees Fahrenheit,
// barometric pressure in inches of mercury (absolute). For information only;
// nothing in the design depends on it.

#include <optional>
#include <string>

namespace sorrel {

struct AirDensity {
    float humidityPercent = 0;    // relative humidity; over 100 when the dew point is above the air
    float virtualTemperature = 0; // degrees Fahrenheit
    float densityKgPerM3 = 0;
    float densityLbsPerFt3 = 0;
};

// Single precision throughout, each intermediate a float, except the
// exponent of the vapour-pressure formula and its power of ten, which are
// double. Nothing is clamped or checked: a zero pressure gives non-finite
// densities.
AirDensity air_density(float temperatureF, float dewPointF, float pressureInHg);

// An input the formula must not be given, and the rule it breaks.
enum class AirInput { Temperature, DewPoint, Pressure }; // in the dialog's order
struct ImpossibleAirInput {
    AirInput input;
    const char* rule; // "must be a number above 0"
};

// The first impossible input, in the order temperature, dew point, pressure:
// a temperature or dew point that is not a number above -148 °F (-100 °C,
// colder than any weather, where the vapour-pressure formula runs out of
// single precision), a dew point above the temperature (over 100 %
// humidity) or at which the water would boil at the given pressure, a
// pressure that is not a number above 0.
std::optional<ImpossibleAirInput> find_impossible_air_input(float temperatureF, float dewPointF,
                                                            float pressureInHg);

// The dialog's input fields.
struct AirInputTexts {
    std::string temperature; // "%5.1f"
    std::string dewPoint;    // "%5.1f"
    std::string pressure;    // "%5.2f"
};

// The dialog's output fields.
struct AirDensityTexts {
    std::string humidity;           // "%6.1f"
    std::string virtualTemperature; // "%6.1f"
    std::string densityKgPerM3;     // "%8.6f"
    std::string densityLbsPerFt3;   // "%8.6f"
};

// What the input fields show when the dialog opens: 70 °F, 50 °F, 29.92 inHg.
AirInputTexts air_input_start_texts();

// The Calculate button: reads the three input fields and returns the four
// output texts, or nothing when an input does not begin with a number (the
// outputs then keep what they show).
std::optional<AirDensityTexts> air_density_texts(const AirInputTexts& inputs);

} // namespace sorrel
