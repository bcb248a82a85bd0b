#pragma once
// An output that would replace the file a command reads: a PDF or geometry
// written over the forty designs it was drawn from destroys them.

#include <string>

namespace sorrel {

// Whether `a` and `b` name one existing file, however named (links, "./",
// another folder's route): the same device and inode. A name that does not
// exist yet is no file read.
bool same_file(const std::string& a, const std::string& b);

// Whether `output`, given with `option` ("-o", "--pdf"), names the file
// `input`; says so on stderr when it does. "-" is standard output.
bool output_is_input(const std::string& input, const char* option, const std::string& output);

} // namespace sorrel
