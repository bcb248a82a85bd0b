#pragma once
// Dialog units: a template's rectangles scale with its font, a quarter of
// the font's average character width across and an eighth of its height
// down, so a dialog keeps its proportions whatever font the desktop offers.

#include <QFont>

namespace sorrel::ui {

struct DialogTemplate;

// Pixels per four horizontal and per eight vertical dialog units.
struct DialogUnitScale {
    int averageCharWidth; // pixels
    int charHeight;       // pixels
};

struct PixelRect {
    int x, y, width, height;
};

// The template's font, or the desktop's sans-serif at the template's point
// size when the face is not installed.
QFont template_font(const DialogTemplate& dialog);

// Average width of the 52 letters, rounded, and the line height: the
// measures the templates' rectangles were laid out in.
DialogUnitScale dialog_unit_scale(const QFont& font);

int horizontal_pixels(int dialogUnits, const DialogUnitScale& scale);
int vertical_pixels(int dialogUnits, const DialogUnitScale& scale);

// Converts each edge, so neighbouring rectangles stay neighbours.
PixelRect to_pixels(int x, int y, int width, int height, const DialogUnitScale& scale);

} // namespace sorrel::ui
