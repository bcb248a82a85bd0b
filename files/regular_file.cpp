#include "files/regular_file.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel {
namespace {

// A descriptor closed at the end of its scope.
struct OpenFile {
    int descriptor;
    explicit OpenFile(int opened) : descriptor(opened) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (descriptor >= 0)
            ::close(descriptor);
    }
};

std::string system_reason(int error) {
    return std::generic_category().message(error);
}

// Appends the rest of the file to `bytes`; returns "" or what went wrong.
std::string read_to_end(int descriptor, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return system_reason(errno);
        if (count == 0)
            return {};
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (bytes.size() > kLargestReadFile)
            return system_reason(EFBIG);
    }
}

} // namespace

FileBytes read_regular_file(const std::string& path) {
    FileBytes read;
    // Opened without blocking, so a FIFO without a writer cannot hold the
    // program before it is found to be no regular file.
    const OpenFile file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    struct stat status {};
    if (file.descriptor < 0 || ::fstat(file.descriptor, &status) != 0)
        read.problem = system_reason(errno);
    else if (S_ISDIR(status.st_mode))
        read.problem = system_reason(EISDIR);
    else if (!S_ISREG(status.st_mode))
        read.problem = "not a regular file";
    else {
        read.stamp = stamp_of(status);
        read.problem = read_to_end(file.descriptor, read.bytes);
    }
    if (!read.problem.empty())
        read.bytes.clear();
    return read;
}

} // namespace sorrel
