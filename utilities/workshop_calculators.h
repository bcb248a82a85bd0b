#pragma once
// The Utility menu's workshop calculators, each a modal dialog over the main
// window: the round/square bore, temperature and distance conversions and
// the air density calculator. None reads or changes the design; each returns
// when the user presses OK. Physically impossible input is refused with a
// message to `feedback`.

class QWidget;

namespace sorrel::ui {

class Feedback;

void convert_bore_shape(QWidget* owner, Feedback& feedback);    // "Round/Square Bore Conversion"
void convert_temperature(QWidget* owner, Feedback& feedback);   // "Temperature Conversion"
void convert_distance(QWidget* owner, Feedback& feedback);      // "Distance Conversion"
void calculate_air_density(QWidget* owner, Feedback& feedback); // "Air Density Formula"

} // namespace sorrel::ui
