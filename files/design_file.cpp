#include "files/design_file.h"

#include "model/text_format.h"
#include "model/units.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <variant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A value that does not parse leaves the field as it was.
void store_value(int32_t& field, std::string_view text) {
    if (const auto value = parse_int(text))
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
    void operator()(CircuitNumber) const {
        const auto number = parse_int(value.substr(std::min<std::size_t>(1, value.size())));
        if (!number)
            return;
        state.slot = *number >= 0 && *number < kSlotCount
                         ? &state.bank.slot[static_cast<std::size_t>(*number)]
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

std::string file_error(const std::string& path, int error) {
    return path + ": " + std::generic_category().message(error);
}

// A written design file is some 110 KB. A name typed by mistake can name a
// disk image or a device that never ends; reading one whole would take the
// program's memory, and the forty designs in it, down with it.
constexpr std::size_t kLargestDesignFile = 16 * 1024 * 1024;

// Reads the whole file into `bytes`; returns 0 or the errno of the failure.
int read_whole_file(const std::string& path, std::string& bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file)
        return errno;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
        if (bytes.size() > kLargestDesignFile)
            return EFBIG;
    }
    return std::ferror(file.get()) ? errno : 0;
}

int write_all(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Creates a new file beside `path` for writing; returns its descriptor or -1.
int create_beside(const std::string& path, std::string& temporaryPath) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = path + format(".%ld-%u.tmp", static_cast<long>(::getpid()), serial++);
        const int descriptor =
            ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// The file a save replaces: where `path` leads through symbolic links, so a
// link keeps pointing at the design file instead of becoming one.
std::string file_behind(const std::string& path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

} // namespace

int replace_file(const std::string& path, std::string_view bytes) {
    const std::string target = file_behind(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file the user may not write stays as it is, as if written in place.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return errno;
    std::string temporaryPath;
    const int descriptor = create_beside(target, temporaryPath);
    if (descriptor < 0)
        return errno;
    int error = write_all(descriptor, bytes);
    if (error == 0 && exists && ::fchmod(descriptor, existing.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(descriptor) != 0)
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(temporaryPath.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporaryPath.c_str());
    return error;
}

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
    WriteOutcome outcome;
    if (const int error = replace_file(path, write_design_text(bank, corrections)); error != 0)
        outcome.error = file_error(path, error);
    else
        outcome.written = true;
    return outcome;
}

std::vector<VersionMessage> read_design_text(std::string_view bytes, CircuitBank& bank,
                                             GlobalCorrections& corrections) {
    std::array<int32_t, kSlotCount> unitsBefore{};
    std::transform(bank.slot.begin(), bank.slot.end(), unitsBefore.begin(),
                   [](const CircuitRecord& slot) { return slot.UNIT; });
    ReadState state{bank, corrections, &bank.slot[0]};
    std::size_t start = 0;
    while (start < bytes.size() && !state.finished) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view line = bytes.substr(start, std::min(end - start, kLineLimit));
        start = end + 1;
        if (line.starts_with(';'))
            continue;
        if (const auto* key = find_key(line))
            std::visit(KeyAction{state, line.substr(key->first.size())}, key->second);
    }
    convert_bore_at_holes(bank, unitsBefore);
    std::vector<VersionMessage> messages;
    apply_version_rules(corrections, messages);
    return messages;
}

ReadOutcome read_design_file(const std::string& path, CircuitBank& bank,
                             GlobalCorrections& corrections) {
    ReadOutcome outcome;
    std::string bytes;
    if (const int error = read_whole_file(path, bytes); error != 0) {
        outcome.error = file_error(path, error);
        return outcome;
    }
    outcome.opened = true;
    outcome.messages = read_design_text(bytes, bank, corrections);
    return outcome;
}

} // namespace sorrel
