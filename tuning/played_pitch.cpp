#include "tuning/played_pitch.h"

#include "tuning/resonance.h"

#include <cmath>
#include <numbers>

namespace sorrel::tuning {

double played_phase(double strouhal) {
    return 4 * std::numbers::pi * (strouhal - kTopStrouhal);
}

std::optional<double> played_pitch(const AirColumn& column, double top, int mode) {
    if (column.mouth_kind() == MouthKind::Closed)
        return top;
    // The player blows harder for higher notes, the pressure roughly in
    // proportion to the frequency, and brings the lips nearer the edge in
    // higher registers (Fletcher 1975, J. Acoust. Soc. Am. 57, 233-237): the
    // jet's Strouhal number grows as √f within a register, and each register
    // starts again from the same level at its mode's multiple of the
    // reference frequency.
    const double level = column.strouhal() / std::sqrt(mode * column.reference_frequency());
    return rising_zero_near(
        [&](double f) {
            const Complex z = column.input_impedance(f);
            return std::atan2(z.imag(), z.real()) + played_phase(level * std::sqrt(f));
        },
        top);
}

} // namespace sorrel::tuning
