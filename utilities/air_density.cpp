#include "utilities/air_density.h"

#include "model/text_format.h"
#include "utilities/conversions.h"

#include <cmath>

namespace sorrel {
namespace {

constexpr float kFahrenheitFactor = 0.5555556f; // 5/9
constexpr float kFahrenheitOffset = 17.777779f; // 32 × 5/9
constexpr float kKelvinOffset = 273.15f;
constexpr float kPascalPerInHg = 3386.38f;
constexpr float kPascalPerHectopascal = 100.0f;
constexpr float kVapourBase = 6.11f; // hPa
constexpr float kVapourSlope = 7.5f;
constexpr float kVapourDenominator = 237.7f;  // °C
constexpr float kVapourMolarTerm = 0.378f;    // 1 - 0.622
constexpr float kDryAirGasConstant = 287.05f; // J/(kg·K)
constexpr float kLbsFt3PerKgM3 = 0.06242796f;

constexpr float kColdestF = -148.0f; // -100 °C
constexpr char kColdestRule[] = "must be a number above -148 Deg.F";

constexpr float kStartTemperature = 70.0f;
constexpr float kStartDewPoint = 50.0f;
constexpr float kStartPressure = 29.92f;

// Shifted after scaling, unlike the Temperature Conversion dialog's formula.
float celsius_of(float fahrenheit) {
    return fahrenheit * kFahrenheitFactor - kFahrenheitOffset;
}

// Saturation vapour pressure over water at `celsius`, hPa (Magnus form).
float vapour_pressure(float celsius) {
    const double exponent = kVapourSlope * double(celsius) / (double(celsius) + kVapourDenominator);
    const float power = static_cast<float>(std::pow(10.0, exponent));
    return kVapourBase * power;
}

} // namespace

AirDensity air_density(float temperatureF, float dewPointF, float pressureInHg) {
    const float t = celsius_of(temperatureF);
    const float tk = t + kKelvinOffset;
    const float td = celsius_of(dewPointF);
    const float ppa = pressureInHg * kPascalPerInHg;
    const float phpa = ppa / kPascalPerHectopascal;
    const float es = vapour_pressure(t);
    const float e = vapour_pressure(td);

    AirDensity result;
    const float ratio = e / es;
    result.humidityPercent = ratio * 100.0f;
    const float vapourFraction = e / phpa;
    const float lightening = 1.0f - vapourFraction * kVapourMolarTerm;
    const float tv = tk / lightening;
    const float virtualCelsius = tv - kKelvinOffset;
    result.virtualTemperature = celsius_to_fahrenheit(virtualCelsius);
    const float tvTimesR = tv * kDryAirGasConstant;
    result.densityKgPerM3 = ppa / tvTimesR;
    result.densityLbsPerFt3 = result.densityKgPerM3 * kLbsFt3PerKgM3;
    return result;
}

std::optional<ImpossibleAirInput> find_impossible_air_input(float temperatureF, float dewPointF,
                                                            float pressureInHg) {
    const auto warm_enough = [](float fahrenheit) {
        return std::isfinite(fahrenheit) && fahrenheit > kColdestF;
    };
    if (!warm_enough(temperatureF))
        return ImpossibleAirInput{AirInput::Temperature, kColdestRule};
    if (!warm_enough(dewPointF))
        return ImpossibleAirInput{AirInput::DewPoint, kColdestRule};
    if (dewPointF > temperatureF)
        return ImpossibleAirInput{AirInput::DewPoint, "must not be above the temperature"};
    if (!std::isfinite(pressureInHg * kPascalPerInHg) || !(pressureInHg > 0))
        return ImpossibleAirInput{AirInput::Pressure, "must be a number above 0"};
    // The vapour pressure reaches the air pressure where water boils.
    if (!(vapour_pressure(celsius_of(dewPointF)) * kPascalPerHectopascal <
          pressureInHg * kPascalPerInHg))
        return ImpossibleAirInput{AirInput::DewPoint, "must be below the boiling point"};
    return std::nullopt;
}

AirInputTexts air_input_start_texts() {
    return {format("%5.1f", double(kStartTemperature)), format("%5.1f", double(kStartDewPoint)),
            format("%5.2f", double(kStartPressure))};
}

std::optional<AirDensityTexts> air_density_texts(const AirInputTexts& inputs) {
    const std::optional<float> temperature = read_float_field(inputs.temperature);
    const std::optional<float> dewPoint = read_float_field(inputs.dewPoint);
    const std::optional<float> pressure = read_float_field(inputs.pressure);
    if (!temperature || !dewPoint || !pressure)
        return std::nullopt;
    const AirDensity air = air_density(*temperature, *dewPoint, *pressure);
    return AirDensityTexts{format("%6.1f", double(air.humidityPercent)),
                           format("%6.1f", double(air.virtualTemperature)),
                           format("%8.6f", double(air.densityKgPerM3)),
                           format("%8.6f", double(air.densityLbsPerFt3))};
}

} // namespace sorrel
