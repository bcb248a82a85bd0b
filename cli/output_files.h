#pragma once
// The files a command makes from one run: all of them written, or none.
// "-" is standard output.

#include <string>
#include <vector>

namespace sorrel {

// One output: where it goes and what it holds.
struct OutputFile {
    std::string path; // "-": standard output
    std::string bytes;
};

// Writes every output once each destination is known to take it: its folder
// exists and may be written, and a file already there may be replaced. When
// any cannot, none is written and the reason goes to stderr. Returns whether
// all were written.
bool write_outputs(const std::vector<OutputFile>& outputs);

} // namespace sorrel
