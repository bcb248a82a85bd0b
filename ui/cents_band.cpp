#include "ui/cents_band.h"

#include <cmath>

namespace sorrel::ui {

CentsBand cents_band(double cents) {
    const double off = std::abs(cents);
    if (off <= 5)
        return CentsBand::Close;
    if (off <= 15)
        return CentsBand::Near;
    return CentsBand::Beyond;
}

QColor band_background(CentsBand band) {
    switch (band) {
    case CentsBand::Close:
        return {200, 240, 200};
    case CentsBand::Near:
        return {255, 236, 160};
    case CentsBand::Beyond:
        break;
    }
    return {255, 190, 190};
}

QColor band_colour(CentsBand band) {
    switch (band) {
    case CentsBand::Close:
        return {40, 150, 70};
    case CentsBand::Near:
        return {225, 160, 0};
    case CentsBand::Beyond:
        break;
    }
    return {200, 40, 40};
}

} // namespace sorrel::ui
