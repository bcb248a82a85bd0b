#pragma once
// The Utility menu's workshop calculators, each a modal dialog over the main
// window: the round/square bore, temperature and distance conversions and
// the air density calculator. None reads or changes the design; each returns
// when the user presses OK.

class QWidget;

namespace sorrel::ui {

void convert_bore_shape(QWidget* owner);    // "Round/Square Bore Conversion"
void convert_temperature(QWidget* owner);   // "Temperature Conversion"
void convert_distance(QWidget* owner);      // "Distance Conversion"
void calculate_air_density(QWidget* owner); // "Air Density Formula"

} // namespace sorrel::ui
