// Stands in for a file system without unnamed temporary files (NFS, FUSE,
// older tmpfs). Preloaded into a program, it refuses every open() asking for
// O_TMPFILE with the errno number in SORREL_TMPFILE_ERRNO (EOPNOTSUPP when
// unset), as such a file system does, and passes every other open() on.

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

int refusal() {
    const char* text = std::getenv("SORREL_TMPFILE_ERRNO");
    int number = EOPNOTSUPP;
    if (text != nullptr)
        std::from_chars(text, text + std::strlen(text), number);
    return number;
}

int refuse_or_open(const char* symbol, const char* path, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = refusal();
        return -1;
    }
    const auto next = reinterpret_cast<OpenFunction>(::dlsym(RTLD_NEXT, symbol));
    return next(path, flags, mode);
}

// The mode argument is there only when the flags ask to create a file.
mode_t mode_argument(int flags, va_list arguments) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t)
                                                                      : 0;
}

} // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    return refuse_or_open("open", path, flags, mode);
}

// Programs built with 64-bit file offsets call it by this name.
extern "C" int open64(const char* path, int flags, ...) __attribute__((alias("open")));
