#pragma once
// The as-built lengths of an instrument, editable: the tube's length and each
// hole's position from the foot and diameter, in millimetres, with every
// position also in inches and to the nearest 1/64 inch a maker can mark.
// Holes are listed from the top down, numbered from the foot up; the
// geometry holds them from the foot up, hole 1 first.

#include "tuning/geometry.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;

namespace sorrel::ui {

class NumberField;
class SpokenLabel;

// The grid of as-built length fields over a tuning geometry.
class AsBuiltEditor : public QWidget {
    Q_OBJECT

public:
    explicit AsBuiltEditor(QWidget* parent);

    // Fills the fields from `geometry`, making one row per hole.
    void show_geometry(const tuning::Geometry& geometry);

    // Writes the fields' lengths into `geometry` (the one shown last); returns
    // the field that does not hold a number, e.g. "Hole 3, from foot".
    std::optional<std::string> read_into(tuning::Geometry& geometry) const;

signals:
    // A field was typed into.
    void edited();

private:
    // One hole's fields; hole k is the geometry's holes[k - 1].
    struct HoleRow {
        int number = 0; // counted from the foot, 1 the lowest
        QLabel* name = nullptr;
        NumberField* position = nullptr;
        SpokenLabel* inches = nullptr;
        NumberField* diameter = nullptr;
    };

    NumberField* add_length_field(int row, int column, const QString& name);
    SpokenLabel* add_inch_label(int row, const QString& name);
    void make_hole_rows(std::size_t count);
    void clear_hole_rows();
    void show_inches(const NumberField& field, SpokenLabel& label);

    QGridLayout* grid_;
    NumberField* length_;
    SpokenLabel* lengthInches_;
    std::vector<HoleRow> holes_;
};

} // namespace sorrel::ui
