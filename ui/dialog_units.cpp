#include "ui/dialog_units.h"

#include "ui/dialog_template.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>

#include <cmath>

namespace sorrel::ui {
namespace {

// a × b / c rounded half away from zero: the rounding the templates'
// rectangles were laid out with.
int mul_div(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

} // namespace

QFont template_font(const DialogTemplate& dialog) {
    const QString face = QString::fromLatin1(dialog.fontFace);
    if (QFontDatabase::hasFamily(face))
        return QFont(face, dialog.pointSize);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialog.pointSize);
    return font;
}

DialogUnitScale dialog_unit_scale(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {mul_div(alphabetWidth, 1, 52), metrics.height()};
}

int horizontal_pixels(int dialogUnits, const DialogUnitScale& scale) {
    return mul_div(dialogUnits, scale.averageCharWidth, 4);
}

int vertical_pixels(int dialogUnits, const DialogUnitScale& scale) {
    return mul_div(dialogUnits, scale.charHeight, 8);
}

PixelRect to_pixels(int x, int y, int width, int height, const DialogUnitScale& scale) {
    const int left = horizontal_pixels(x, scale);
    const int top = vertical_pixels(y, scale);
    return {left, top, horizontal_pixels(x + width, scale) - left,
            vertical_pixels(y + height, scale) - top};
}

} // namespace sorrel::ui
