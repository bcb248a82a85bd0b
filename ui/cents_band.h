#pragma once
// How close a predicted note lies to its target, in the bands the tuning
// window colours: a maker leaves a note within 5 cents alone, corrects one
// within 15 with a little undercutting, and redrills beyond that.

#include <QColor>

namespace sorrel::ui {

enum class CentsBand {
    Close,  // within ±5 cents
    Near,   // within ±15 cents
    Beyond, // further off
};

CentsBand cents_band(double cents);

// A light shade for a table cell's background.
QColor band_background(CentsBand band);
// A strong shade for a chart's bar.
QColor band_colour(CentsBand band);

} // namespace sorrel::ui
