#include "drilling/template_layout.h"

#include "model/inch_fraction.h"
#include "model/text_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sorrel {
namespace {

constexpr double kMmPerInch = 25.4;

// Columns across the sheet, mm from its left edge.
constexpr double kMetricRulerX = 12;
constexpr double kInchRulerX = 27;
constexpr double kStripLeft = 50;
constexpr double kStripRight = 80;
constexpr double kStripCentre = (kStripLeft + kStripRight) / 2;
constexpr double kMarkReach = 6;    // cross lines run this far past the strip
constexpr double kNumberRight = 46; // hole numbers end here
constexpr double kNotesLeft = 88;   // texts about the marks start here

// Rows down the sheet, mm.
constexpr double kStripTop = 40;
constexpr double kBottomMargin = 14;
constexpr double kFootRoom = 12; // strip below the foot line on the first sheet
constexpr double kTopRoom = 14;  // strip kept above the top line

// Text and pen sizes, mm.
constexpr double kTitleSize = 4.5;
constexpr double kTextSize = 3;
constexpr double kNoteSize = 2.8;
constexpr double kNumberSize = 5;
constexpr double kRulerTextSize = 2.2;
constexpr double kThinPen = 0.15;
constexpr double kPen = 0.25;
constexpr double kHeavyPen = 1.0;

// Maps strip positions (mm from the foot) to one sheet's rows.
struct StripWindow {
    double bottom_y;  // row of `from_mm`
    double from_mm;   // strip position at the bottom of the strip area
    double height_mm; // strip area height
    double y(double mm) const { return bottom_y - (mm - from_mm); }
    double own_from_mm; // the stretch this sheet labels: from its lower glue mark
    double own_to_mm;   // to its upper one
    bool shows(double mm) const { return mm >= from_mm && mm <= from_mm + height_mm; }
    // Beyond its glue marks a sheet lies under, or is trimmed off below, its
    // neighbour: marks drawn there help to line the sheets up, texts would
    // only crowd the ones the neighbour shows.
    bool owns(double mm) const { return mm >= own_from_mm && mm < own_to_mm; }
};

std::string position_text(double mm) {
    std::string text = format("%.2f mm from the foot, %.3f in", mm, mm / kMmPerInch);
    if (const std::optional<InchFraction> fraction = nearest_sixty_fourth(mm))
        text +=
            ", " + format_inch_fraction(*fraction) + " (" + format_fraction_error(*fraction) + ")";
    return text;
}

PageLine line(double x1, double y1, double x2, double y2, double width) {
    return {{x1, y1}, {x2, y2}, width, false, false};
}

void add_text(TemplatePage& page, double x, double y, std::string text, double size,
              TextAlign align = TextAlign::Left, bool bold = false) {
    page.texts.push_back({{x, y}, std::move(text), size, align, bold});
}

std::string or_dash(const std::string& text) {
    return text.empty() ? "-" : text;
}

void add_header(TemplatePage& page, const DrillingPlan& plan, std::size_t index,
                std::size_t count) {
    const double x = kMetricRulerX;
    add_text(page, x, 16,
             plan.description.empty() ? "Drilling template"
                                      : "Drilling template: " + plan.description,
             kTitleSize, TextAlign::Left, true);
    add_text(page, x, 22,
             "Material: " + or_dash(plan.material) + "    First note: " + or_dash(plan.first_note) +
                 "    Date: " + or_dash(plan.date),
             kTextSize);
    add_text(page, x, 27.5,
             "Print at 100 %, no fit to page: the rulers must measure 100 mm and 4 in.", kTextSize,
             TextAlign::Left, true);
    std::string sheet = format("Page %zu of %zu", index + 1, count);
    if (index > 0)
        sheet += format(", glue to the mark on page %zu", index);
    else if (count > 1)
        sheet += ": the foot end";
    if (!plan.positions.empty())
        sheet += "    Positions: " + plan.positions;
    add_text(page, x, 33, sheet, kTextSize);
}

// A ruler down the left margin: `length` units of `unit_mm`, each divided into
// `steps` ticks whose lengths `tick_mm` gives by how many ticks they mark.
void add_ruler(TemplatePage& page, double x, int length, double unit_mm, int steps,
               double (*tick_mm)(int), const char* caption) {
    const double top = page.strip_top_mm;
    page.lines.push_back(line(x, top, x, top + length * unit_mm, kThinPen));
    for (int tick = 0; tick <= length * steps; ++tick) {
        const double y = top + tick * unit_mm / steps;
        page.lines.push_back(line(x, y, x + tick_mm(tick), y, kThinPen));
    }
    const int labelEvery = length == 100 ? 10 : 1; // every cm, every inch
    for (int unit = 0; unit <= length; unit += labelEvery)
        add_text(page, x + 5, top + unit * unit_mm + 0.8, format("%d", unit), kRulerTextSize);
    add_text(page, x, top + length * unit_mm + 5, caption, kTextSize, TextAlign::Left, true);
}

double metric_tick(int tick) {
    return tick % 10 == 0 ? 4 : tick % 5 == 0 ? 2.8 : 1.6;
}

double inch_tick(int tick) { // sixteenths
    return tick % 16 == 0  ? 4.5
           : tick % 8 == 0 ? 3.4
           : tick % 4 == 0 ? 2.6
           : tick % 2 == 0 ? 1.9
                           : 1.2;
}

void add_strip(TemplatePage& page, const StripWindow& window, double length) {
    const double from = std::max(window.from_mm, 0.0);
    const double to = std::min(window.from_mm + window.height_mm, length);
    if (from >= to)
        return;
    for (const double x : {kStripLeft, kStripRight})
        page.lines.push_back(line(x, window.y(from), x, window.y(to), kPen));
    PageLine centre = line(kStripCentre, window.y(from), kStripCentre, window.y(to), kThinPen);
    centre.dashed = true;
    page.lines.push_back(centre);
}

void add_foot(TemplatePage& page, const StripWindow& window) {
    const double y = window.y(0);
    page.lines.push_back(line(kStripLeft - kMarkReach, y, kStripRight + kMarkReach, y, kHeavyPen));
    add_text(page, kStripCentre, y + 6, "foot end", kTextSize + 0.5, TextAlign::Centre, true);
}

void add_top(TemplatePage& page, const StripWindow& window, const DrillingPlan& plan) {
    const double y = window.y(plan.length_mm);
    page.lines.push_back(line(kStripLeft - kMarkReach, y, kStripRight + kMarkReach, y, kPen * 2));
    if (!window.owns(plan.length_mm))
        return;
    add_text(page, kStripCentre, y - 2.5, plan.cut_at_top ? "cut here" : plan.top_name,
             kTextSize + 0.5, TextAlign::Centre, true);
    const std::string name =
        plan.cut_at_top ? "Cut here: " + plan.top_name : "Top: " + plan.top_name;
    add_text(page, kNotesLeft, y - 0.8, name, kTextSize, TextAlign::Left, true);
    add_text(page, kNotesLeft, y + 3.6, position_text(plan.length_mm), kNoteSize);
}

void add_hole(TemplatePage& page, const StripWindow& window, const DrillHole& hole) {
    const double y = window.y(hole.centre_mm);
    const double reach = hole.diameter_mm / 2 + kMarkReach;
    PageLine across =
        line(kStripLeft - kMarkReach / 2, y, kStripRight + kMarkReach / 2, y, kThinPen);
    PageLine along = line(kStripCentre, y - reach, kStripCentre, y + reach, kThinPen);
    across.clipped = along.clipped = true;
    page.lines.push_back(across);
    page.lines.push_back(along);
    page.circles.push_back({{kStripCentre, y}, hole.diameter_mm});
    if (!window.owns(hole.centre_mm))
        return;
    add_text(page, kNumberRight, y + kNumberSize * 0.36, format("%d", hole.number), kNumberSize,
             TextAlign::Right, true);
    add_text(page, kNotesLeft, y - 0.8,
             format("Hole %d, drill %s", hole.number, hole.drill.c_str()), kTextSize,
             TextAlign::Left, true);
    add_text(page, kNotesLeft, y + 3.6, position_text(hole.centre_mm), kNoteSize);
}

void add_mouth(TemplatePage& page, const StripWindow& window, const MouthOutline& mouth) {
    const double y = window.y(mouth.centre_mm);
    if (mouth.round) {
        page.circles.push_back({{kStripCentre, y}, mouth.along_mm});
    } else {
        const double x1 = kStripCentre - mouth.across_mm / 2;
        const double x2 = kStripCentre + mouth.across_mm / 2;
        const double y1 = y - mouth.along_mm / 2;
        const double y2 = y + mouth.along_mm / 2;
        for (PageLine edge : {line(x1, y1, x2, y1, kPen), line(x2, y1, x2, y2, kPen),
                              line(x2, y2, x1, y2, kPen), line(x1, y2, x1, y1, kPen)}) {
            edge.clipped = true;
            page.lines.push_back(edge);
        }
    }
    const std::string size =
        mouth.round ? format("%.2f mm across", mouth.along_mm)
                    : format("%.2f mm along x %.2f mm across", mouth.along_mm, mouth.across_mm);
    add_text(page, kNotesLeft, y + 8, "Outline of the " + mouth.name + ", " + size, kNoteSize);
}

// The mark two sheets share: `upper` is true on the sheet whose strip runs on
// above it, the later one of the pair.
void add_glue_mark(TemplatePage& page, const StripWindow& window, double at_mm,
                   std::size_t lower_index, bool upper) {
    const double y = window.y(at_mm);
    PageLine mark = line(kStripLeft - 2 * kMarkReach, y, kNotesLeft - 2, y, kPen);
    mark.dashed = true;
    page.lines.push_back(mark);
    const std::string text =
        upper ? format("Glue mark: lay it on the mark of page %zu", lower_index + 1)
              : format("Glue mark: page %zu goes on here", lower_index + 2);
    // Texts go on the side the neighbour covers or the maker trims off.
    const double first = upper ? y + 4 : y - 4.6;
    add_text(page, kNotesLeft, first, text, kNoteSize, TextAlign::Left, true);
    add_text(page, kNotesLeft, first + 3.6,
             format("%.2f mm from the foot%s", at_mm, upper ? "; trim the strip below it" : ""),
             kNoteSize);
}

} // namespace

PaperSize paper_size(Paper paper) {
    return paper == Paper::A4 ? PaperSize{210, 297} : PaperSize{215.9, 279.4};
}

TemplateLayout lay_out_template(const DrillingPlan& plan, Paper paper) {
    TemplateLayout layout;
    layout.paper = paper_size(paper);
    const double bottom = layout.paper.height_mm - kBottomMargin;
    const double height = bottom - kStripTop;
    const double step = height - kPageOverlapMm;
    const double topRoom = kTopRoom + (plan.mouth ? plan.mouth->along_mm / 2 : 0);
    const double beyondFirst = plan.length_mm + topRoom - (height - kFootRoom);
    const std::size_t count =
        1 + static_cast<std::size_t>(std::max(0.0, std::ceil(beyondFirst / step)));

    for (std::size_t index = 0; index < count; ++index) {
        const double from = -kFootRoom + static_cast<double>(index) * step;
        const double infinity = std::numeric_limits<double>::infinity();
        const StripWindow window{bottom, from, height,
                                 index == 0 ? -infinity : from + kPageOverlapMm / 2,
                                 index + 1 == count ? infinity : from + step + kPageOverlapMm / 2};
        TemplatePage& page = layout.pages.emplace_back();
        page.strip_top_mm = kStripTop;
        page.strip_bottom_mm = bottom;
        add_header(page, plan, index, count);
        add_ruler(page, kMetricRulerX, 100, 1, 1, metric_tick, "100 mm");
        add_ruler(page, kInchRulerX, 4, kMmPerInch, 16, inch_tick, "4 in");
        add_strip(page, window, plan.length_mm);
        if (window.shows(0))
            add_foot(page, window);
        if (window.shows(plan.length_mm))
            add_top(page, window, plan);
        for (const DrillHole& hole : plan.holes)
            if (window.shows(hole.centre_mm))
                add_hole(page, window, hole);
        if (plan.mouth && window.shows(plan.mouth->centre_mm))
            add_mouth(page, window, *plan.mouth);
        if (index > 0)
            add_glue_mark(page, window, window.own_from_mm, index - 1, true);
        if (index + 1 < count)
            add_glue_mark(page, window, window.own_to_mm, index, false);
    }
    return layout;
}

} // namespace sorrel
