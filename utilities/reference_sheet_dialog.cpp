#include "utilities/reference_sheet_dialog.h"

#include "utilities/reference_sheets.h"
#include "utilities/utility_dialog.h"

#include <deque>
#include <string>
#include <string_view>

namespace sorrel::ui {
namespace {

using enum ControlKind;

// A template assembled from the sheets' texts, which it copies so that
// every control's text ends in a terminating zero. The controls point into
// those copies, so a sheet may be moved but not copied.
class SheetTemplate {
public:
    SheetTemplate(const char* name, const char* title, int width, int height)
        : name_(name), title_(title), width_(width), height_(height) {}
    SheetTemplate(SheetTemplate&&) = default;
    SheetTemplate(const SheetTemplate&) = delete;
    SheetTemplate& operator=(const SheetTemplate&) = delete;

    void add(int id, ControlKind kind, std::string_view text, int x, int y, int width, int height) {
        const std::string& kept = texts_.emplace_back(text);
        controls_.push_back({id, kind, kept.c_str(), x, y, width, height});
    }

    DialogTemplate dialog() const {
        return {name_, title_, width_, height_, "MS Sans Serif", 8, controls_};
    }

private:
    const char* name_;
    const char* title_;
    int width_;
    int height_;
    std::deque<std::string> texts_; // a deque never moves what it holds
    std::vector<ControlTemplate> controls_;
};

constexpr int kDrillLineStep = 10;
constexpr int kTableLineStep = 8; // the tubing tables' rows and the PVC lines
constexpr int kNoteLineStep = 12;

SheetTemplate drills_template() {
    SheetTemplate sheet("DRILLS", "Fractional Drill Sizes", 135, 250);
    sheet.add(kOkCommand, DefaultButton, "OK", 77, 8, 50, 14);
    int y = 10;
    for (std::string_view line : drill_sheet_lines()) {
        sheet.add(kUnnumbered, Text, line, 12, y, 56, 8);
        y += kDrillLineStep;
    }
    return sheet;
}

SheetTemplate resources_template() {
    const TubingSheet& texts = tubing_sheet();
    SheetTemplate sheet("RESOURCES", "Resources", 407, 290);
    sheet.add(kOkCommand, DefaultButton, "OK", 208, 6, 50, 14);

    sheet.add(kUnnumbered, GroupBox, texts.aluminiumTitle, 5, 7, 182, 172);
    sheet.add(kUnnumbered, TabbedText, texts.aluminiumHeader, 12, 24, 170, 8);
    int y = 32;
    for (std::string_view row : texts.aluminiumRows) {
        sheet.add(kUnnumbered, TabbedText, row, 12, y, 170, 8);
        y += kTableLineStep;
    }
    y = 130;
    for (std::string_view note : texts.aluminiumNotes) {
        sheet.add(kUnnumbered, Text, note, 12, y, 170, 8);
        y += kNoteLineStep;
    }

    sheet.add(kUnnumbered, GroupBox, texts.copperPvcTitle, 6, 183, 190, 87);
    const auto& pipes = texts.copperPvcLines;
    sheet.add(kUnnumbered, Text, pipes[0], 9, 196, 170, 8);
    sheet.add(kUnnumbered, Text, pipes[1], 9, 204, 170, 8);
    y = 225;
    for (std::size_t i = 2; i < pipes.size(); ++i) {
        sheet.add(kUnnumbered, Text, pipes[i], 9, y, 183, 8);
        y += kTableLineStep;
    }

    sheet.add(kUnnumbered, GroupBox, texts.brassTitle, 190, 25, 211, 26);
    sheet.add(kUnnumbered, Text, texts.brassLine, 195, 36, 127, 10);
    return sheet;
}

} // namespace

void show_reference_sheet(QWidget* owner, ReferenceSheet which) {
    const SheetTemplate sheet =
        which == ReferenceSheet::Drills ? drills_template() : resources_template();
    UtilityDialog(sheet.dialog(), {}, {}, {}, nullptr, owner).run_modal();
}

} // namespace sorrel::ui
