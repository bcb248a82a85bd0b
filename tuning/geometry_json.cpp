#include "tuning/geometry_json.h"

#include "files/regular_file.h"
#include "model/message_quote.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <set>
#include <vector>

namespace sorrel::tuning {
namespace {

using nlohmann::json;

constexpr double kMmPerMetre = 1000;

// Reads fields off the parsed JSON, keeping the path and reason of the first
// one that is wrong.
class FieldReader {
public:
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    bool fail(const std::string& path, const std::string& message) {
        if (error_.empty())
            error_ = path.empty() ? message : path + ": " + message;
        return false;
    }

    // Refuses every key of `object` not in `known`, naming it after the
    // object's path: the key is the file's text, shown quoted and shortened.
    bool only_keys(const json& object, const std::string& path,
                   std::initializer_list<const char*> known) {
        for (const auto& item : object.items()) {
            bool listed = false;
            for (const char* key : known)
                listed = listed || item.key() == key;
            if (!listed)
                return fail(path, "unknown key " + quote_for_message(item.key()));
        }
        return true;
    }

    // A number, or empty when it is absent (not an error) or wrong (an error).
    std::optional<double> number(const json& object, const std::string& path, const char* key,
                                 bool required) {
        if (!object.contains(key)) {
            if (required)
                fail(join(path, key), "missing");
            return std::nullopt;
        }
        return number_value(object[key], join(path, key));
    }

    std::optional<double> number_value(const json& value, const std::string& path) {
        if (!value.is_number()) {
            fail(path, "must be a number");
            return std::nullopt;
        }
        return value.get<double>();
    }

    static std::string join(const std::string& path, const std::string& key) {
        return path.empty() ? key : path + "." + key;
    }
    static std::string index(const std::string& path, std::size_t i) {
        return path + "[" + std::to_string(i) + "]";
    }

private:
    std::string error_;
};

std::optional<double> millimetres(FieldReader& reader, const json& object, const std::string& path,
                                  const char* key, bool required) {
    const std::optional<double> value = reader.number(object, path, key, required);
    return value ? std::optional(*value / kMmPerMetre) : std::nullopt;
}

bool read_profile(FieldReader& reader, const json& value, Geometry& geometry) {
    const std::string path = "bore_profile_mm";
    if (!value.is_array())
        return reader.fail(path, "must be a list of [distance from the top, diameter] pairs");
    // Left empty, the bore would be taken for a cylinder without a bore_mm.
    if (value.empty())
        return reader.fail(path, "needs at least two points");
    for (std::size_t i = 0; i < value.size(); ++i) {
        const json& pair = value[i];
        if (!pair.is_array() || pair.size() != 2)
            return reader.fail(FieldReader::index(path, i),
                               "must be a [distance from the top, diameter] pair");
        const auto fromTop = reader.number_value(pair[0], FieldReader::index(path, i) + "[0]");
        const auto diameter = reader.number_value(pair[1], FieldReader::index(path, i) + "[1]");
        if (!fromTop || !diameter)
            return false;
        geometry.boreProfile.push_back({*fromTop / kMmPerMetre, *diameter / kMmPerMetre});
    }
    return true;
}

bool read_holes(FieldReader& reader, const json& object, Geometry& geometry) {
    if (!object.contains("holes"))
        return reader.fail("holes", "missing");
    const json& holes = object["holes"];
    if (!holes.is_array())
        return reader.fail("holes", "must be a list");
    for (std::size_t i = 0; i < holes.size(); ++i) {
        const std::string path = FieldReader::index("holes", i);
        if (!holes[i].is_object())
            return reader.fail(path, "must be an object");
        if (!reader.only_keys(holes[i], path, {"from_foot_mm", "diameter_mm", "wall_mm"}))
            return false;
        Hole hole;
        const auto fromFoot = millimetres(reader, holes[i], path, "from_foot_mm", true);
        const auto diameter = millimetres(reader, holes[i], path, "diameter_mm", true);
        hole.wall = millimetres(reader, holes[i], path, "wall_mm", false);
        if (reader.failed())
            return false;
        hole.fromFoot = *fromFoot;
        hole.diameter = *diameter;
        geometry.holes.push_back(hole);
    }
    return true;
}

bool read_mouth(FieldReader& reader, const json& object, Geometry& geometry) {
    if (!object.contains("mouth"))
        return reader.fail("mouth", "missing");
    const json& mouth = object["mouth"];
    const std::string path = "mouth";
    if (!mouth.is_object())
        return reader.fail(path, "must be an object");
    if (!mouth.contains("kind") || !mouth["kind"].is_string())
        return reader.fail("mouth.kind", "must be \"fipple\", \"embouchure\" or \"closed\"");
    const std::string kind = mouth["kind"].get<std::string>();
    Mouth& m = geometry.mouth;
    if (kind == "fipple") {
        m.kind = MouthKind::Fipple;
        if (!reader.only_keys(mouth, path,
                              {"kind", "window_length_mm", "window_width_mm", "window_height_mm",
                               "position_mm", "strouhal"}))
            return false;
        m.windowLength = millimetres(reader, mouth, path, "window_length_mm", true).value_or(0);
        m.windowWidth = millimetres(reader, mouth, path, "window_width_mm", true).value_or(0);
    } else if (kind == "embouchure") {
        m.kind = MouthKind::Embouchure;
        if (!reader.only_keys(mouth, path,
                              {"kind", "diameter_mm", "length_mm", "width_mm", "headspace_mm",
                               "window_height_mm", "position_mm", "strouhal"}))
            return false;
        const bool oval = mouth.contains("length_mm") || mouth.contains("width_mm");
        if (oval && mouth.contains("diameter_mm"))
            return reader.fail("mouth.diameter_mm", "give a diameter or a length and width");
        m.diameter = millimetres(reader, mouth, path, "diameter_mm", !oval).value_or(0);
        m.windowLength = millimetres(reader, mouth, path, "length_mm", oval).value_or(0);
        m.windowWidth = millimetres(reader, mouth, path, "width_mm", oval).value_or(0);
        m.headspace = millimetres(reader, mouth, path, "headspace_mm", false);
    } else if (kind == "closed") {
        m.kind = MouthKind::Closed;
        if (!reader.only_keys(mouth, path, {"kind", "added_length_mm"}))
            return false;
        m.addedLength = millimetres(reader, mouth, path, "added_length_mm", false).value_or(0);
        return !reader.failed();
    } else {
        return reader.fail("mouth.kind", "must be \"fipple\", \"embouchure\" or \"closed\"");
    }
    if (auto height = millimetres(reader, mouth, path, "window_height_mm", false))
        geometry.windowHeight = *height;
    m.position = millimetres(reader, mouth, path, "position_mm", false);
    geometry.strouhal = reader.number(mouth, path, "strouhal", false).value_or(geometry.strouhal);
    return !reader.failed();
}

bool read_note_list(FieldReader& reader, const json& notes, Geometry& geometry) {
    if (!notes.is_array())
        return reader.fail("notes", "must be a list of {\"fingering\", \"target_hz\"} objects");
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const std::string path = FieldReader::index("notes", i);
        if (!notes[i].is_object())
            return reader.fail(path, "must be an object");
        if (!reader.only_keys(notes[i], path, {"fingering", "target_hz"}))
            return false;
        if (!notes[i].contains("fingering") || !notes[i]["fingering"].is_string())
            return reader.fail(path + ".fingering", "must be a string of x and o");
        const auto target = reader.number(notes[i], path, "target_hz", true);
        if (!target)
            return false;
        geometry.notes.push_back({notes[i]["fingering"].get<std::string>(), *target});
    }
    return true;
}

bool read_notes(FieldReader& reader, const json& object, Geometry& geometry) {
    if (object.contains("targets_hz")) {
        const json& targets = object["targets_hz"];
        if (!targets.is_array())
            return reader.fail("targets_hz", "must be a list of frequencies");
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const auto target =
                reader.number_value(targets[i], FieldReader::index("targets_hz", i));
            if (!target)
                return false;
            geometry.targets.push_back(*target);
        }
    }
    if (object.contains("fingerings")) {
        const json& fingerings = object["fingerings"];
        if (!fingerings.is_array())
            return reader.fail("fingerings", "must be a list of fingering strings");
        for (std::size_t i = 0; i < fingerings.size(); ++i) {
            if (!fingerings[i].is_string())
                return reader.fail(FieldReader::index("fingerings", i),
                                   "must be a string of x and o");
            geometry.extraFingerings.push_back(fingerings[i].get<std::string>());
        }
    }
    return !object.contains("notes") || read_note_list(reader, object["notes"], geometry);
}

bool read_geometry(FieldReader& reader, const json& object, Geometry& geometry) {
    if (!object.is_object())
        return reader.fail("(top)", "must be an object");
    if (!reader.only_keys(object, "",
                          {"length_mm", "bore_mm", "bore_profile_mm", "wall_mm", "holes", "mouth",
                           "temperature_c", "humidity_percent", "co2_percent", "targets_hz",
                           "fingerings", "notes", "constraints"}))
        return false;
    geometry.length = millimetres(reader, object, "", "length_mm", true).value_or(0);
    if (object.contains("bore_mm") && object.contains("bore_profile_mm"))
        return reader.fail("bore_profile_mm", "give bore_mm or bore_profile_mm, not both");
    if (object.contains("bore_profile_mm")) {
        if (!read_profile(reader, object["bore_profile_mm"], geometry))
            return false;
    } else {
        geometry.boreDiameter = millimetres(reader, object, "", "bore_mm", true).value_or(0);
    }
    geometry.wall = millimetres(reader, object, "", "wall_mm", true).value_or(0);
    if (reader.failed() || !read_holes(reader, object, geometry) ||
        !read_mouth(reader, object, geometry))
        return false;
    Air& air = geometry.air;
    air.temperature = reader.number(object, "", "temperature_c", false).value_or(air.temperature);
    air.humidityPercent =
        reader.number(object, "", "humidity_percent", false).value_or(air.humidityPercent);
    air.co2Percent = reader.number(object, "", "co2_percent", false).value_or(air.co2Percent);
    return !reader.failed() && read_notes(reader, object, geometry);
}

// Line and column, from 1, of the byte at `position` (from 1): where an
// editor shows the fault.
std::string line_and_column(std::string_view text, std::size_t position) {
    const std::string_view before = text.substr(0, position - 1);
    const std::size_t lineStart = before.rfind('\n') + 1; // 0 on the first line
    const auto lines = std::count(before.begin(), before.end(), '\n');
    return "line " + std::to_string(lines + 1) + ", column " +
           std::to_string(before.size() - lineStart + 1);
}

// Parses `text` into `object`, or says why not: where the syntax breaks, or
// which key an object gives twice (the parser would silently keep the last).
bool parse_json(std::string_view text, json& object, std::string& error) {
    std::vector<std::set<std::string>> openObjects;
    std::optional<std::string> repeated;
    const json::parser_callback_t note_keys = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start)
            openObjects.emplace_back();
        else if (event == json::parse_event_t::object_end)
            openObjects.pop_back();
        else if (event == json::parse_event_t::key && !repeated &&
                 !openObjects.back().insert(parsed.get<std::string>()).second)
            repeated = parsed.get<std::string>();
        return true;
    };
    try {
        object = json::parse(text, note_keys);
    } catch (const json::parse_error& fault) {
        error = "not valid JSON at " + line_and_column(text, fault.byte);
        return false;
    }
    if (repeated)
        error = "key " + quote_for_message(*repeated) + " given twice";
    return !repeated;
}

} // namespace

GeometryRead read_geometry_json(std::string_view text) {
    GeometryRead read;
    json object;
    if (!parse_json(text, object, read.error))
        return read;
    FieldReader reader;
    Geometry geometry;
    if (!read_geometry(reader, object, geometry)) {
        read.error = reader.error();
        return read;
    }
    if (const std::optional<GeometryFault> fault = validate(geometry)) {
        read.error = describe(*fault);
        return read;
    }
    read.geometry = geometry;
    return read;
}

GeometryRead read_geometry_file(const std::string& path) {
    const FileBytes file = read_regular_file(path);
    GeometryRead read;
    if (file.problem.empty())
        read = read_geometry_json(file.bytes);
    else
        read.error = file.problem;
    if (!read.geometry)
        read.error = path + ": " + read.error;
    return read;
}

std::string write_geometry_json(const Geometry& geometry) {
    auto mm = [](double metres) { return metres * kMmPerMetre; };
    nlohmann::ordered_json out;
    out["length_mm"] = mm(geometry.length);
    if (geometry.boreProfile.empty()) {
        out["bore_mm"] = mm(geometry.boreDiameter);
    } else {
        out["bore_profile_mm"] = nlohmann::ordered_json::array();
        for (const BorePoint& point : geometry.boreProfile)
            out["bore_profile_mm"].push_back({mm(point.fromTop), mm(point.diameter)});
    }
    out["wall_mm"] = mm(geometry.wall);
    out["holes"] = nlohmann::ordered_json::array();
    for (const Hole& hole : geometry.holes) {
        nlohmann::ordered_json item;
        item["from_foot_mm"] = mm(hole.fromFoot);
        item["diameter_mm"] = mm(hole.diameter);
        if (hole.wall)
            item["wall_mm"] = mm(*hole.wall);
        out["holes"].push_back(item);
    }
    nlohmann::ordered_json mouth;
    const Mouth& m = geometry.mouth;
    switch (m.kind) {
    case MouthKind::Fipple:
        mouth["kind"] = "fipple";
        mouth["window_length_mm"] = mm(m.windowLength);
        mouth["window_width_mm"] = mm(m.windowWidth);
        break;
    case MouthKind::Embouchure:
        mouth["kind"] = "embouchure";
        if (m.windowLength > 0) {
            mouth["length_mm"] = mm(m.windowLength);
            mouth["width_mm"] = mm(m.windowWidth);
        } else {
            mouth["diameter_mm"] = mm(m.diameter);
        }
        if (m.headspace)
            mouth["headspace_mm"] = mm(*m.headspace);
        break;
    case MouthKind::Closed:
        mouth["kind"] = "closed";
        mouth["added_length_mm"] = mm(m.addedLength);
        break;
    }
    if (m.kind != MouthKind::Closed) {
        mouth["window_height_mm"] = mm(geometry.windowHeight);
        if (m.position)
            mouth["position_mm"] = mm(*m.position);
        if (geometry.strouhal != kDefaultStrouhal)
            mouth["strouhal"] = geometry.strouhal;
    }
    out["mouth"] = mouth;
    out["temperature_c"] = geometry.air.temperature;
    out["humidity_percent"] = geometry.air.humidityPercent;
    out["co2_percent"] = geometry.air.co2Percent;
    if (!geometry.targets.empty())
        out["targets_hz"] = geometry.targets;
    if (!geometry.extraFingerings.empty())
        out["fingerings"] = geometry.extraFingerings;
    for (const Note& note : geometry.notes)
        out["notes"].push_back({{"fingering", note.fingering}, {"target_hz", note.target}});
    return out.dump(2);
}

} // namespace sorrel::tuning
