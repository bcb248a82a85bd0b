#include "cli/geometry_source.h"

#include "cli/bank_file.h"
#include "model/text_format.h"
#include "tuning/design_geometry.h"
#include "tuning/geometry_json.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace sorrel {

bool is_geometry_file(const std::string& file) {
    if (file.size() < 5)
        return false;
    std::string extension = file.substr(file.size() - 5);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return extension == ".json";
}

std::optional<LoadedGeometry> load_geometry(const std::string& file, int slot) {
    if (is_geometry_file(file)) {
        const tuning::GeometryRead read = tuning::read_geometry_file(file);
        if (!read.geometry) {
            std::cerr << "sorrel-cli: " << read.error << '\n';
            return std::nullopt;
        }
        return LoadedGeometry{*read.geometry, file};
    }
    const std::optional<DesignState> state = read_bank(file);
    if (!state)
        return std::nullopt;
    const CircuitRecord& record = state->bank.slot[static_cast<std::size_t>(slot)];
    const tuning::DesignGeometry design = tuning::geometry_from_design(record);
    if (!design.geometry) {
        std::cerr << "sorrel-cli: " << format("slot %d: ", slot) << design.error << '\n';
        return std::nullopt;
    }
    return LoadedGeometry{*design.geometry, latin1_to_utf8(record.DESC.view())};
}

} // namespace sorrel
