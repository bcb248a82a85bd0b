#include "ui/as_built_editor.h"

#include "model/inch_fraction.h"
#include "model/text_format.h"
#include "model/units.h"
#include "ui/latin1_text.h"
#include "ui/number_field.h"
#include "ui/spoken_label.h"

#include <QGridLayout>
#include <QLabel>

namespace sorrel::ui {
namespace {

constexpr char kMillimetres[] = "%.2f";
constexpr double kMmPerMetre = 1000;
constexpr int kFirstHoleRow = 2; // below the header and the length

// "10.630 in, 10 41/64 in (+0.02 mm)".
QString inch_text(double mm) {
    std::string text = format("%.3f in", mm / kMmPerInch);
    if (const auto fraction = nearest_sixty_fourth(mm))
        text +=
            ", " + format_inch_fraction(*fraction) + " (" + format_fraction_error(*fraction) + ")";
    return to_qstring(text);
}

QString hole_name(int number) {
    return QStringLiteral("Hole %1").arg(number);
}

} // namespace

AsBuiltEditor::AsBuiltEditor(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    const QString headers[] = {QString(), QStringLiteral("From foot (mm)"),
                               QStringLiteral("Inches, nearest 1/64"),
                               QStringLiteral("Diameter (mm)")};
    for (int column = 0; column < 4; ++column)
        grid_->addWidget(new QLabel(headers[column], this), 0, column);
    grid_->addWidget(new QLabel(QStringLiteral("Length, top to foot"), this), 1, 0);
    length_ = add_length_field(1, 1, QStringLiteral("Length from the top to the foot (mm)"));
    lengthInches_ = add_inch_label(1, QStringLiteral("Length in inches"));
    connect(length_, &QLineEdit::textEdited, this,
            [this] { show_inches(*length_, *lengthInches_); });
}

NumberField* AsBuiltEditor::add_length_field(int row, int column, const QString& name) {
    auto* field = new NumberField(kMillimetres, name, this);
    grid_->addWidget(field, row, column);
    connect(field, &QLineEdit::textEdited, this, &AsBuiltEditor::edited);
    return field;
}

SpokenLabel* AsBuiltEditor::add_inch_label(int row, const QString& name) {
    auto* label = new SpokenLabel(name, this);
    // The column keeps a steady width as the texts change; a label's own
    // minimum stays its whole text, since digits and fractions differ in
    // width and a longer text than the sample must not lose its end.
    grid_->setColumnMinimumWidth(2, label->fontMetrics().horizontalAdvance(inch_text(888.8)));
    grid_->addWidget(label, row, 2);
    return label;
}

void AsBuiltEditor::clear_hole_rows() {
    for (const HoleRow& hole : holes_) {
        delete hole.name;
        delete hole.position;
        delete hole.inches;
        delete hole.diameter;
    }
    holes_.clear();
}

void AsBuiltEditor::show_geometry(const tuning::Geometry& geometry) {
    length_->show_value(geometry.length * kMmPerMetre);
    show_inches(*length_, *lengthInches_);
    if (geometry.holes.size() != holes_.size())
        make_hole_rows(geometry.holes.size());
    for (HoleRow& hole : holes_) {
        const tuning::Hole& shown = geometry.holes[std::size_t(hole.number - 1)];
        hole.position->show_value(shown.fromFoot * kMmPerMetre);
        hole.diameter->show_value(shown.diameter * kMmPerMetre);
        show_inches(*hole.position, *hole.inches);
    }
}

// Rows from the top hole down; Tab visits them in that order, right after
// the length.
void AsBuiltEditor::make_hole_rows(std::size_t count) {
    clear_hole_rows();
    QWidget* previous = length_;
    for (std::size_t row = 0; row < count; ++row) {
        const int number = int(count - row);
        const int gridRow = kFirstHoleRow + int(row);
        HoleRow hole;
        hole.number = number;
        hole.name = new QLabel(hole_name(number), this);
        grid_->addWidget(hole.name, gridRow, 0);
        hole.position =
            add_length_field(gridRow, 1, hole_name(number) + QStringLiteral(" from foot (mm)"));
        hole.inches =
            add_inch_label(gridRow, hole_name(number) + QStringLiteral(" from foot in inches"));
        hole.diameter =
            add_length_field(gridRow, 3, hole_name(number) + QStringLiteral(" diameter (mm)"));
        NumberField* position = hole.position;
        SpokenLabel* inches = hole.inches;
        connect(position, &QLineEdit::textEdited, this,
                [this, position, inches] { show_inches(*position, *inches); });
        setTabOrder(previous, hole.position);
        setTabOrder(hole.position, hole.diameter);
        previous = hole.diameter;
        holes_.push_back(hole);
    }
}

std::optional<std::string> AsBuiltEditor::read_into(tuning::Geometry& geometry) const {
    const auto length = length_->value();
    if (!length)
        return "Length, top to foot";
    geometry.length = *length / kMmPerMetre;
    for (const HoleRow& hole : holes_) {
        const auto position = hole.position->value();
        const auto diameter = hole.diameter->value();
        if (!position || !diameter)
            return to_latin1(hole_name(hole.number)) + (position ? ", diameter" : ", from foot");
        tuning::Hole& edited = geometry.holes[std::size_t(hole.number - 1)];
        edited.fromFoot = *position / kMmPerMetre;
        edited.diameter = *diameter / kMmPerMetre;
    }
    return std::nullopt;
}

void AsBuiltEditor::show_inches(const NumberField& field, SpokenLabel& label) {
    const auto mm = field.value();
    label.say(mm ? inch_text(*mm) : QString());
}

} // namespace sorrel::ui
