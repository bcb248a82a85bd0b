#include "drilling/pdf_print_scaling.h"

#include "model/text_format.h"

#include <cctype>

namespace sorrel {
namespace {

constexpr std::string_view kPreference = "/ViewerPreferences << /PrintScaling /None >>\n";

// The whole number that follows `key` in `text` after blanks, if any.
std::optional<long> number_after(std::string_view text, std::string_view key) {
    const std::size_t at = text.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t pos = at + key.size();
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    const std::size_t digits = pos;
    long value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) &&
           pos - digits < 12)
        value = value * 10 + (text[pos++] - '0');
    if (pos == digits)
        return std::nullopt;
    return value;
}

// "N G R" after `key` in the trailer: the object number and generation.
struct Reference {
    long number = 0;
    long generation = 0;
};

std::optional<Reference> reference_after(std::string_view trailer, std::string_view key) {
    const std::optional<long> number = number_after(trailer, key);
    if (!number)
        return std::nullopt;
    const std::string numberText = format("%ld", *number);
    const std::optional<long> generation =
        number_after(trailer.substr(trailer.find(key) + key.size()), numberText);
    if (!generation)
        return std::nullopt;
    return Reference{*number, *generation};
}

// The dictionary of the last definition of object `ref`, without its closing ">>".
std::optional<std::string_view> catalog_body(std::string_view pdf, Reference ref) {
    const std::string header = format("\n%ld %ld obj", ref.number, ref.generation);
    const std::size_t start = pdf.rfind(header);
    if (start == std::string_view::npos)
        return std::nullopt;
    const std::size_t open = pdf.find("<<", start);
    const std::size_t end = pdf.find("endobj", start);
    if (open == std::string_view::npos || end == std::string_view::npos || open > end)
        return std::nullopt;
    const std::size_t close = pdf.rfind(">>", end);
    if (close == std::string_view::npos || close <= open)
        return std::nullopt;
    const std::string_view body = pdf.substr(open, close - open);
    if (body.find("/Catalog") == std::string_view::npos ||
        body.find("/ViewerPreferences") != std::string_view::npos)
        return std::nullopt;
    return body;
}

} // namespace

std::optional<std::string> with_print_scaling_none(std::string_view pdf) {
    const std::size_t trailerAt = pdf.rfind("trailer");
    const std::size_t startxrefAt = pdf.rfind("startxref");
    if (trailerAt == std::string_view::npos || startxrefAt == std::string_view::npos ||
        startxrefAt < trailerAt)
        return std::nullopt;
    const std::string_view trailer = pdf.substr(trailerAt, startxrefAt - trailerAt);
    const std::optional<long> previous = number_after(pdf.substr(startxrefAt), "startxref");
    const std::optional<long> size = number_after(trailer, "/Size");
    const std::optional<Reference> root = reference_after(trailer, "/Root");
    if (!previous || !size || !root)
        return std::nullopt;
    const std::optional<std::string_view> body = catalog_body(pdf, *root);
    if (!body)
        return std::nullopt;

    std::string out(pdf);
    if (out.back() != '\n')
        out += '\n';
    const std::size_t objectAt = out.size();
    out += format("%ld %ld obj\n", root->number, root->generation);
    out += *body;
    out += kPreference;
    out += ">>\nendobj\n";
    const std::size_t xrefAt = out.size();
    // Each entry is exactly 20 bytes: offset, generation, "n", blank, newline.
    out += format("xref\n%ld 1\n%010zu %05ld n \n", root->number, objectAt, root->generation);
    out += format("trailer\n<< /Size %ld /Root %ld %ld R", *size, root->number, root->generation);
    if (const std::optional<Reference> info = reference_after(trailer, "/Info"))
        out += format(" /Info %ld %ld R", info->number, info->generation);
    out += format(" /Prev %ld >>\nstartxref\n%zu\n%%%%EOF\n", *previous, xrefAt);
    return out;
}

} // namespace sorrel
