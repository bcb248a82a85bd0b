#pragma once
// The pitch a player sounds: below the top of a note's playing range, where
// the jet's delay across the window balances the phase of the air column.

#include "tuning/tuning_model.h"

#include <optional>

namespace sorrel::tuning {

// The jet's Strouhal number at the top of a note's range, where the note
// sits on the passive resonance and the jet's phase adds nothing. Chosen on
// the measured Native American flute, the one instrument of the tests
// measured as played: lower values leave the jet no phase to sound its
// upper notes with.
inline constexpr double kTopStrouhal = 0.23;

// The phase of the input impedance at which a jet of the column's Strouhal
// number sounds, rad: the jet's convective delay ωW/(U/2) = 4π·St (a
// disturbance travels the jet at about half its speed: Coltman 1968, J.
// Acoust. Soc. Am. 44, 983-992; Fletcher & Rossing, The Physics of Musical
// Instruments, 16.10) measured from its value at the top of the range.
double played_phase(double strouhal);

// The as-played pitch of the note whose passive resonance is `top` Hz, the
// fingering's resonance number `mode` (1 the lowest): where
// arg Z_tot = -played_phase (Auvray, Fabre & Lagrée 2012, J. Acoust. Soc.
// Am. 131, 1574-1585; Terrien, Vergez & Fabre 2013, Acta Acustica united with
// Acustica 99, 675-685). A closed mouthpiece is not jet-driven: its pitch is
// the resonance. Empty when no such pitch lies within reach of `top`.
std::optional<double> played_pitch(const AirColumn& column, double top, int mode);

} // namespace sorrel::tuning
