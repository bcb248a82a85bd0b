#pragma once
// Asks PDF viewers to print a document at its own size: the catalog's viewer
// preferences get /PrintScaling /None, so the print dialog offers 100 %
// rather than "fit to page".

#include <optional>
#include <string>
#include <string_view>

namespace sorrel {

// The document with an incremental update appended (ISO 32000-1, 7.5.6) that
// replaces its catalog by one carrying the preference. Empty when the bytes
// do not end in the trailer, cross-reference offset and catalog it needs.
std::optional<std::string> with_print_scaling_none(std::string_view pdf);

} // namespace sorrel
