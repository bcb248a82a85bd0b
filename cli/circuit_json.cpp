#include "cli/circuit_json.h"

#include "model/text_format.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace sorrel {
namespace {

// Floats kept as floats, so 0.1f prints as 0.1; keys kept in record order.
using Json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool,
                                  std::int64_t, std::uint64_t, float>;

Json number(float value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

template <std::size_t N> Json numbers(const std::array<float, N>& values) {
    Json list = Json::array();
    for (float value : values)
        list.push_back(number(value));
    return list;
}

void add_inputs(Json& j, const CircuitRecord& c) {
    j["FILENAME"] = c.FILENAME.c_str();
    j["DESC"] = c.DESC.c_str();
    j["DIVS"] = c.DIVS;
    j["MATL"] = c.MATL.c_str();
    j["UNIT"] = c.UNIT;
    j["BORE"] = number(c.BORE);
    j["BRCT"] = number(c.BRCT);
    j["THIK"] = number(c.THIK);
    j["THCT"] = number(c.THCT);
    for (std::size_t n = 0; n < c.SEQ.size(); ++n)
        j[format("SEQ%zu", n + 1)] = c.SEQ[n];
    j["SEQI"] = c.SEQI;
    j["NOTI"] = c.NOTI;
    j["BASE"] = number(c.BASE);
    j["EMBH"] = number(c.EMBH);
    j["EMBV"] = number(c.EMBV);
}

void add_results(Json& j, const CircuitRecord& c) {
    j["FR"] = numbers(c.FR);
    j["DI"] = numbers(c.DI);
    j["DC"] = numbers(c.DC);
    j["HI"] = numbers(c.HI);
    j["NM"] = numbers(c.NM);
    j["HS"] = numbers(c.HS);
    j["LC"] = numbers(c.LC);
    j["OP"] = numbers(c.OP);
    j["CL"] = numbers(c.CL);
    j["NE"] = numbers(c.NE);
    j["PR"] = numbers(c.PR);
    j["MAXP"] = number(c.MAXP);
    j["RA"] = numbers(c.RA);
    j["DV"] = numbers(c.DV);
    j["AVCU"] = number(c.AVCU);
    j["AVRA"] = number(c.AVRA);
    j["TOCU"] = number(c.TOCU);
    j["TORA"] = number(c.TORA);
    j["FS"] = numbers(c.FS);
    j["PI"] = numbers(c.PI);
    j["PM"] = numbers(c.PM);
    j["SP"] = numbers(c.SP);
    j["LBRA"] = number(c.LBRA);
    j["THLN"] = number(c.THLN);
    j["THIN"] = number(c.THIN);
    j["DIST"] = number(c.DIST);
    j["GEO"] = number(c.GEO);
    j["SPSD"] = number(c.SPSD);
    j["CU"] = numbers(c.CU);
    j["BDI"] = numbers(c.BDI);
    j["BDC"] = numbers(c.BDC);
}

} // namespace

std::string circuit_json_text(const CircuitRecord& circuit) {
    Json j = Json::object();
    add_inputs(j, circuit);
    add_results(j, circuit);
    // Texts are single bytes in no stated code page: bytes that are not UTF-8
    // print as U+FFFD rather than stopping the dump.
    return j.dump(2, ' ', false, Json::error_handler_t::replace);
}

} // namespace sorrel
