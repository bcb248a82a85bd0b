#include "files/design_file.h"

#include "files/regular_file.h"
#include "model/text_format.h"
#include "model/units.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <functional>
#include <optional>
#include <system_error>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <variant>

namespace sorrel {
namespace {

constexpr std::size_t kLineLimit = 78; // characters of a line the reader looks at

constexpr std::string_view kHeadline = ";SORREL - Version 3.3  (Apr 2017)\n";
constexpr std::string_view kSectionRule =
    ";--------------------------------------------------------\n;\n";

// One element of an array field.
template <class Array> struct Element {
    Array CircuitRecord::*array;
    std::size_t index;
};

// Where a value lives in a record: a field, or one element of an array field.
using R = CircuitRecord;
using Place =
    std::variant<int32_t R::*, float R::*, decltype(R::DESC) R::*, decltype(R::FILENAME) R::*,
                 Element<decltype(R::SEQ)>, Element<decltype(R::SEQI)>, Element<NoteArray>,
                 Element<decltype(R::SP)>>;

template <class Record, class T> auto& field_of(Record& record, T CircuitRecord::*member) {
    return record.*member;
}
template <class Record, class Array> auto& field_of(Record& record, Element<Array> element) {
    return (record.*element.array)[element.index];
}

void append_value(std::string& out, int32_t value) {
    out += format("%d", value);
}
void append_value(std::string& out, float value) {
    out += format("%f", static_cast<double>(value));
}
template <std::size_t Width> void append_value(std::string& out, const FixedText<Width>& text) {
    out += text.view();
}

// An integer as "%d" reads one (blanks skipped, an optional sign, digits up
// to the first other character), except that a number outside the 32-bit
// range is no number where "%d" would wrap it into another value.
struct FileInteger {
    std::optional<int32_t> value; // empty when the text holds no number in range
    bool outOfRange = false;      // the text holds digits beyond the range
};

FileInteger parse_file_integer(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    text.remove_prefix(std::min(start, text.size()));
    // from_chars takes a minus sign only; "+-5" is no number for "%d" either.
    if (text.starts_with('+') && !text.starts_with("+-"))
        text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return {std::nullopt, true};
    if (error != std::errc())
        return {};
    return {value};
}

// A value that does not parse leaves the field as it was.
void store_value(int32_t& field, std::string_view text) {
    if (const auto value = parse_file_integer(text).value)
        field = *value;
}
void store_value(float& field, std::string_view text) {
    if (const auto value = parse_float(text))
        field = *value;
}
// Texts run to the end of the line; a NUL ends them as it ends any C string.
template <std::size_t Width> void store_value(FixedText<Width>& field, std::string_view text) {
    field.assign(text.substr(0, text.find('\0')));
}

// One line of a slot's section after its "[CIRCUIT]" line: a fixed text, or
// a key with the field written behind it.
struct SectionLine {
    std::string text; // the whole line, or the key's name
    std::optional<Place> place{};
    std::string_view separator = "="; // written between name and value
};

std::string element_name(const char* prefix, std::size_t number, bool twoDigits) {
    return prefix + (twoDigits ? format("%02zu", number) : format("%zu", number));
}

template <class Array>
void add_elements(std::vector<SectionLine>& lines, const char* prefix, Array CircuitRecord::*array,
                  std::size_t firstNumber, bool twoDigits) {
    for (std::size_t i = 0; i < std::tuple_size_v<Array>; ++i)
        lines.push_back(
            {element_name(prefix, firstNumber + i, twoDigits), Element<Array>{array, i}});
}

// Several note arrays written element by element: FR00, DI00, ..., FR01, DI01, ...
void add_by_note(std::vector<SectionLine>& lines,
                 std::initializer_list<std::pair<const char*, NoteArray CircuitRecord::*>> arrays) {
    for (std::size_t k = 0; k < kNoteCount; ++k)
        for (const auto& [prefix, array] : arrays)
            lines.push_back({element_name(prefix, k, true), Element<NoteArray>{array, k}});
}

void add_fields(std::vector<SectionLine>& lines,
                std::initializer_list<std::pair<const char*, Place>> fields) {
    for (const auto& [name, place] : fields)
        lines.push_back({name, place});
}

// The lines of a section in file order, from "DESC=" to "[END]".
std::vector<SectionLine> build_section_layout() {
    std::vector<SectionLine> lines;
    add_fields(lines, {{"DESC", &R::DESC},
                       {"DIVS", &R::DIVS},
                       {"MATL", &R::MATL},
                       {"UNIT", &R::UNIT},
                       {"BORE", &R::BORE},
                       {"BRCT", &R::BRCT},
                       {"THIK", &R::THIK},
                       {"THCT", &R::THCT}});
    add_elements(lines, "SEQ", &R::SEQ, 1, false);
    lines.push_back({";"});
    add_elements(lines, "SEQI", &R::SEQI, 0, false);
    add_fields(lines, {{"NOTI", &R::NOTI},
                       {"BASE", &R::BASE},
                       {"GEO", &R::GEO},
                       {"EMBH", &R::EMBH},
                       {"EMBV", &R::EMBV}});
    add_by_note(lines, {{"FR", &R::FR},
                        {"DI", &R::DI},
                        {"DC", &R::DC},
                        {"HI", &R::HI},
                        {"NM", &R::NM},
                        {"HS", &R::HS},
                        {"LC", &R::LC},
                        {"OP", &R::OP},
                        {"CL", &R::CL},
                        {"NE", &R::NE},
                        {"PR", &R::PR}});
    lines.push_back({";"});
    add_fields(lines, {{"MAXP", &R::MAXP}});
    add_by_note(lines, {{"RA", &R::RA}, {"DV", &R::DV}});
    add_fields(lines, {{"AVCU", &R::AVCU}, {"AVRA", &R::AVRA}});
    lines.push_back({";"});
    // Files have always carried this one key without its "=", so readers
    // never take the value back.
    lines.push_back({"TOCU", &R::TOCU, ""});
    add_fields(lines, {{"TORA", &R::TORA}});
    add_by_note(lines, {{"FS", &R::FS}, {"PI", &R::PI}, {"PM", &R::PM}});
    add_elements(lines, "SP", &R::SP, 0, true);
    add_fields(lines, {{"LBRA", &R::LBRA},
                       {"THLN", &R::THLN},
                       {"THIN", &R::THIN},
                       {"DIST", &R::DIST},
                       {"SPSD", &R::SPSD}});
    add_by_note(lines, {{"CU", &R::CU}});
    lines.push_back({"[END]"});
    return lines;
}

const std::vector<SectionLine>& section_layout() {
    static const std::vector<SectionLine> layout = build_section_layout();
    return layout;
}

void append_header(std::string& out, const CircuitRecord& firstSlot,
                   const GlobalCorrections& corrections) {
    out += kHeadline;
    out += "FILENAME=";
    out += firstSlot.FILENAME.view();
    out += "\n;\n";
    out += format("AUTO=%d\n", corrections.AUTO);
    out += format("EMBCOR=%5.2f\n", static_cast<double>(corrections.EMBCOR));
    out += format("ENDCOR=%5.2f\n", static_cast<double>(corrections.ENDCOR));
    out += format("CHMCOR=%5.2f\n", static_cast<double>(corrections.CHMCOR));
}

void append_section(std::string& out, std::size_t slotNumber, const CircuitRecord& record) {
    out += kSectionRule;
    out += format("[CIRCUIT]=%zu\n", slotNumber);
    for (const SectionLine& line : section_layout()) {
        out += line.text;
        if (line.place) {
            out += line.separator;
            std::visit([&](auto place) { append_value(out, field_of(record, place)); },
                       *line.place);
        }
        out += '\n';
    }
}

struct CircuitNumber {}; // "[CIRCUIT]": selects the slot later lines go to
struct EndOfFile {};     // "[EOF]": nothing after it is read

using KeyTarget = std::variant<Place, int32_t GlobalCorrections::*, float GlobalCorrections::*,
                               CircuitNumber, EndOfFile>;

// Hashes key texts so that parts of a line can be looked up without a copy.
struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

// Every key the reader knows, matched against the start of a line,
// case-sensitive. Each key ends at its only "=" or "]", so the start of a line
// up to its first "=" or "]" names the one key the line can begin with.
using ReaderKeys = std::unordered_map<std::string, KeyTarget, KeyHash, std::equal_to<>>;

ReaderKeys build_reader_keys() {
    ReaderKeys keys = {
        {"[EOF]", EndOfFile{}},
        {"[CIRCUIT]", CircuitNumber{}},
        {"AUTO=", &GlobalCorrections::AUTO},
        {"EMBCOR=", &GlobalCorrections::EMBCOR},
        {"ENDCOR=", &GlobalCorrections::ENDCOR},
        {"CHMCOR=", &GlobalCorrections::CHMCOR},
        {"FILENAME=", Place{&CircuitRecord::FILENAME}},
        {"UNITS=", Place{&CircuitRecord::UNIT}}, // hand-made files spell it so
        {"SP04=", Place{&CircuitRecord::LBRA}},  // older files' length/bore ratio
    };
    for (const SectionLine& line : section_layout())
        if (line.place)
            keys.emplace(line.text + "=", *line.place);
    assert(std::all_of(keys.begin(), keys.end(), [](const auto& key) {
        return key.first.find_first_of("=]") == key.first.size() - 1;
    }));
    return keys;
}

const ReaderKeys::value_type* find_key(std::string_view line) {
    static const ReaderKeys keys = build_reader_keys();
    const std::size_t keyEnd = line.find_first_of("=]");
    if (keyEnd == std::string_view::npos)
        return nullptr;
    const auto found = keys.find(line.substr(0, keyEnd + 1));
    return found == keys.end() ? nullptr : &*found;
}

// Calls `take` with each line of `bytes` as the reader sees it (comments
// skipped, one carriage return before the line feed dropped, cut to its
// first 78 characters) while `take` returns true.
template <class Take> void for_each_line(std::string_view bytes, Take take) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const bool droppedReturn = end < bytes.size() && end > start && bytes[end - 1] == '\r';
        const std::size_t length = end - start - (droppedReturn ? 1 : 0);
        const std::string_view line = bytes.substr(start, std::min(length, kLineLimit));
        start = end + 1;
        if (!line.starts_with(';') && !take(line))
            return;
    }
}

// Whether one line of `bytes` is a line the reader knows.
bool holds_a_design_line(std::string_view bytes) {
    bool found = false;
    for_each_line(bytes, [&found](std::string_view line) {
        found = find_key(line) != nullptr;
        return !found;
    });
    return found;
}

// The reader's position in the file and what it writes to.
struct ReadState {
    CircuitBank& bank;
    GlobalCorrections& corrections;
    CircuitRecord* slot;   // null after a "[CIRCUIT]" outside the bank
    bool finished = false; // "[EOF]" has been read
};

// Applies the value that follows a key.
struct KeyAction {
    ReadState& state;
    std::string_view value;

    void operator()(const Place& place) const {
        if (state.slot)
            std::visit([&](auto where) { store_value(field_of(*state.slot, where), value); },
                       place);
    }
    template <class T> void operator()(T GlobalCorrections::*member) const {
        store_value(state.corrections.*member, value);
    }
    // The number stands one character behind the key, whatever that character is.
    // A number too large for any integer is outside the bank too.
    void operator()(CircuitNumber) const {
        const FileInteger number =
            parse_file_integer(value.substr(std::min<std::size_t>(1, value.size())));
        if (number.outOfRange)
            state.slot = nullptr;
        if (!number.value)
            return;
        state.slot = *number.value >= 0 && *number.value < kSlotCount
                         ? &state.bank.slot[static_cast<std::size_t>(*number.value)]
                         : nullptr;
    }
    void operator()(EndOfFile) const { state.finished = true; }
};

// Older program versions saved 0.75 for the end and chimney corrections.
void apply_version_rules(GlobalCorrections& corrections, std::vector<VersionMessage>& messages) {
    constexpr float kOldCorrection = 0.75f;
    constexpr float kNewCorrection = 0.6133f;
    const std::pair<float GlobalCorrections::*, const char*> rules[] = {
        {&GlobalCorrections::ENDCOR, "Changed End Correction to 0.6133"},
        {&GlobalCorrections::CHMCOR, "Changed Chimney Correction to 0.6133"},
    };
    for (const auto& [member, title] : rules) {
        if (corrections.*member == kOldCorrection) {
            corrections.*member = kNewCorrection;
            messages.push_back({"Changed Parameter in New Version", title});
        }
    }
}

// Files do not carry the bore at each hole, so a slot whose entry unit the
// file changed converts it as the unit switch would.
void convert_bore_at_holes(CircuitBank& bank, const std::array<int32_t, kSlotCount>& unitsBefore) {
    for (std::size_t i = 0; i < bank.slot.size(); ++i)
        if (const auto factor = unit_switch_factor(unitsBefore[i], bank.slot[i].UNIT))
            scale_bore_at_holes(bank.slot[i], *factor);
}

} // namespace

std::string write_design_text(const CircuitBank& bank, const GlobalCorrections& corrections) {
    std::string out;
    out.reserve(160 * 1024);
    append_header(out, bank.slot[0], corrections);
    for (std::size_t i = 0; i < bank.slot.size(); ++i)
        append_section(out, i, bank.slot[i]);
    out += "[EOF]\n";
    return out;
}

WriteOutcome write_design_file(const std::string& path, const CircuitBank& bank,
                               const GlobalCorrections& corrections) {
    return write_file_safely(path, write_design_text(bank, corrections));
}

std::vector<VersionMessage> read_design_text(std::string_view bytes, CircuitBank& bank,
                                             GlobalCorrections& corrections) {
    std::array<int32_t, kSlotCount> unitsBefore{};
    std::transform(bank.slot.begin(), bank.slot.end(), unitsBefore.begin(),
                   [](const CircuitRecord& slot) { return slot.UNIT; });
    ReadState state{bank, corrections, &bank.slot[0]};
    for_each_line(bytes, [&state](std::string_view line) {
        if (const auto* key = find_key(line))
            std::visit(KeyAction{state, line.substr(key->first.size())}, key->second);
        return !state.finished;
    });
    convert_bore_at_holes(bank, unitsBefore);
    std::vector<VersionMessage> messages;
    apply_version_rules(corrections, messages);
    return messages;
}

ReadOutcome read_design_file(const std::string& path, CircuitBank& bank,
                             GlobalCorrections& corrections) {
    ReadOutcome outcome;
    FileBytes file = read_regular_file(path);
    if (file.problem.empty() && !file.bytes.empty() && !holds_a_design_line(file.bytes))
        file.problem = "not a design file";
    if (!file.problem.empty()) {
        outcome.error = path + ": " + file.problem;
        return outcome;
    }
    outcome.opened = true;
    outcome.stamp = file.stamp;
    outcome.messages = read_design_text(file.bytes, bank, corrections);
    return outcome;
}

} // namespace sorrel
