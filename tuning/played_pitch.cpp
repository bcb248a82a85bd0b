#include "tuning/played_pitch.h"

#include "tuning/resonance.h"

#include <cmath>
#include <numbers>

namespace sorrel::tuning {

double played_phase(double strouhal) {
    return 4 * std::numbers::pi * (strouhal - kTopStrouhal);
}

std::optional<double> played_pitch(const AirColumn& column, double top) {
    if (column.mouth_kind() == MouthKind::Closed)
        return top;
    const double phase = played_phase(column.strouhal());
    return rising_zero_near(
        [&](double f) {
            const Complex z = column.input_impedance(f);
            return std::atan2(z.imag(), z.real()) + phase;
        },
        top);
}

} // namespace sorrel::tuning
