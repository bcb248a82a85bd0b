#include "cli/output_check.h"

#include "model/message_quote.h"

#include <iostream>

#include <sys/stat.h>

namespace sorrel {

bool same_file(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool output_is_input(const std::string& input, const char* option, const std::string& output) {
    if (output == "-" || !same_file(input, output))
        return false;
    std::cerr << "sorrel-cli: " << option << ' ' << quote_for_message(output)
              << " is the file read, " << quote_for_message(input)
              << ": writing it would destroy it; choose another output\n";
    return true;
}

} // namespace sorrel
