#pragma once
// The drilling template laid out on paper at full scale: which stretch of the
// strip each page carries, where every mark and text stands. Everything is in
// millimetres from the top-left corner of the sheet, y growing downwards, so a
// painter only has to draw it one to one.

#include "drilling/drilling_plan.h"

#include <string>
#include <vector>

namespace sorrel {

enum class Paper { A4, Letter };

// A sheet, portrait.
struct PaperSize {
    double width_mm = 0;
    double height_mm = 0;
};

PaperSize paper_size(Paper paper);

// A point on the sheet, mm.
struct PagePoint {
    double x_mm = 0;
    double y_mm = 0;
};

// A straight stroke.
struct PageLine {
    PagePoint from;
    PagePoint to;
    double width_mm = 0; // pen width, mm
    bool dashed = false;
    bool clipped = false; // drawn only inside the page's strip area
};

// A circle outline: a drill or a round embouchure.
struct PageCircle {
    PagePoint centre;
    double diameter_mm = 0;
};

enum class TextAlign { Left, Centre, Right };

// One line of text, placed by its baseline.
struct PageText {
    PagePoint baseline; // left end, centre or right end of the baseline, per `align`
    std::string text;   // UTF-8
    double size_mm = 0; // em height, mm
    TextAlign align = TextAlign::Left;
    bool bold = false;
};

// Everything on one sheet. Circles, like clipped lines, stay inside
// [strip_top_mm, strip_bottom_mm] so a mark at a page's edge is cut there.
struct TemplatePage {
    double strip_top_mm = 0;
    double strip_bottom_mm = 0;
    std::vector<PageLine> lines;
    std::vector<PageCircle> circles;
    std::vector<PageText> texts;
};

// The sheets of one template, the foot end on the first.
struct TemplateLayout {
    PaperSize paper;
    std::vector<TemplatePage> pages;
};

// Lays the plan out on as many sheets as its length needs. Consecutive
// sheets share kPageOverlapMm of strip with a glue mark in its middle.
TemplateLayout lay_out_template(const DrillingPlan& plan, Paper paper);

// Strip shared by consecutive sheets, mm.
inline constexpr double kPageOverlapMm = 20;

} // namespace sorrel
