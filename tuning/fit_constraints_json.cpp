#include "tuning/fit_constraints_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace sorrel::tuning {
namespace {

using nlohmann::json;

constexpr double kMetresPerMm = 1e-3;

// Reads the keys of one object, remembering the first fault.
class ConstraintReader {
public:
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    bool fail(const std::string& path, const std::string& message) {
        if (ok())
            error_ = path + ": " + message;
        return false;
    }

    bool only_keys(const json& object, const std::string& path,
                   std::initializer_list<const char*> keys) {
        if (!object.is_object())
            return fail(path, "must be an object");
        for (const auto& item : object.items())
            if (std::find_if(keys.begin(), keys.end(),
                             [&](const char* key) { return item.key() == key; }) == keys.end())
                return fail(path + "." + item.key(), "unknown key");
        return true;
    }

    // A length in mm above 0 (or 0 when `mayBeNone`), as metres; `fallback`
    // when absent or wrong.
    double length(const json& object, const std::string& path, const char* key, bool mayBeNone,
                  double fallback) {
        if (!object.contains(key))
            return fallback;
        const json& value = object[key];
        const double mm = value.is_number() ? value.get<double>() : -1;
        if (!std::isfinite(mm) || mm < 0 || (mm == 0 && !mayBeNone)) {
            fail(path + "." + key, mayBeNone ? "must be a number of mm, 0 or more"
                                             : "must be a number of mm above 0");
            return fallback;
        }
        return mm * kMetresPerMm;
    }

    // [MIN, MAX] in mm, 0 < MIN <= MAX, into `smallest` and `largest`.
    void range(const json& object, const std::string& path, const char* key, double& smallest,
               double& largest) {
        if (!object.contains(key))
            return;
        const json& value = object[key];
        if (!value.is_array() || value.size() != 2 || !value[0].is_number() ||
            !value[1].is_number() || !(value[0].get<double>() > 0) ||
            !(value[0].get<double>() <= value[1].get<double>()) ||
            !std::isfinite(value[1].get<double>())) {
            fail(path + "." + key, "must be [MIN, MAX] in mm, 0 < MIN <= MAX");
            return;
        }
        smallest = value[0].get<double>() * kMetresPerMm;
        largest = value[1].get<double>() * kMetresPerMm;
    }

private:
    std::string error_;
};

bool read_hole(ConstraintReader& reader, const json& object, const std::string& path,
               FitOptions& options) {
    if (!reader.only_keys(object, path, {"hole", "fixed", "from_foot_mm", "diameter_mm"}))
        return false;
    HoleLimits limits;
    if (!object.contains("hole") || !object["hole"].is_number_unsigned() ||
        object["hole"].get<std::size_t>() < 1)
        return reader.fail(path + ".hole", "must be a hole number, 1 nearest the foot");
    limits.hole = object["hole"].get<std::size_t>();
    if (object.contains("fixed") && !object["fixed"].is_boolean())
        return reader.fail(path + ".fixed", "must be true or false");
    limits.fixed = object.value("fixed", false);
    if (object.contains("from_foot_mm")) {
        if (!limits.fixed)
            return reader.fail(path + ".from_foot_mm", "only a fixed hole has a place");
        limits.at = reader.length(object, path, "from_foot_mm", false, 0);
    }
    reader.range(object, path, "diameter_mm", limits.minDiameter, limits.maxDiameter);
    options.holes.push_back(limits);
    return reader.ok();
}

} // namespace

std::optional<FitOptions> read_fit_constraints(std::string_view text, std::string& error) {
    const json file = json::parse(text, nullptr, false);
    FitOptions options;
    if (!file.is_object() || !file.contains("constraints"))
        return options;
    const json& object = file["constraints"];
    ConstraintReader reader;
    const std::string path = "constraints";
    if (reader.only_keys(
            object, path,
            {"min_gap_mm", "max_spread_mm", "max_hand_gap_mm", "hole_diameter_mm", "holes"})) {
        options.minGap = reader.length(object, path, "min_gap_mm", true, options.minGap);
        options.maxSpread = reader.length(object, path, "max_spread_mm", false, options.maxSpread);
        options.maxHandGap =
            reader.length(object, path, "max_hand_gap_mm", false, options.maxHandGap);
        reader.range(object, path, "hole_diameter_mm", options.minDiameter, options.maxDiameter);
        const json holes = object.value("holes", json::array());
        if (!holes.is_array())
            reader.fail(path + ".holes", "must be an array");
        for (std::size_t i = 0; reader.ok() && i < holes.size(); ++i)
            read_hole(reader, holes[i], path + ".holes[" + std::to_string(i) + "]", options);
    }
    if (!reader.ok()) {
        error = reader.error();
        return std::nullopt;
    }
    return options;
}

} // namespace sorrel::tuning
