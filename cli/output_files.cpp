#include "cli/output_files.h"

#include "files/safe_write.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace sorrel {
namespace {

// Why `path` cannot be written, as the system says it, or nothing.
std::optional<std::string> unwritable(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target(path);
    if (fs::is_directory(target, error))
        return path + ": " + std::strerror(EISDIR);
    if (fs::exists(target, error))
        return ::access(path.c_str(), W_OK) == 0
                   ? std::nullopt
                   : std::optional<std::string>(path + ": " + std::strerror(errno));
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (::access(folder.c_str(), W_OK) != 0)
        return path + ": " + std::strerror(errno);
    return std::nullopt;
}

} // namespace

bool write_outputs(const std::vector<OutputFile>& outputs) {
    for (const OutputFile& output : outputs) {
        if (output.path == "-")
            continue;
        if (const std::optional<std::string> reason = unwritable(output.path)) {
            std::cerr << "sorrel-cli: cannot write " << *reason << " (nothing was written)\n";
            return false;
        }
    }
    for (const OutputFile& output : outputs) {
        if (output.path == "-") {
            std::cout << output.bytes << std::flush;
            if (!std::cout) {
                std::cerr << "sorrel-cli: cannot write to standard output\n";
                return false;
            }
            continue;
        }
        const WriteOutcome outcome = write_file_safely(output.path, output.bytes);
        if (!outcome.written) {
            std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
            return false;
        }
    }
    return true;
}

} // namespace sorrel
