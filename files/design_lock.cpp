#include "files/design_lock.h"

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kLongestWait = std::chrono::seconds(3);
constexpr auto kRetryEvery = std::chrono::milliseconds(20);

// Waits for the lock on `descriptor` until `deadline`; returns 0 or errno
// (EWOULDBLOCK when another writer still holds it).
int lock_until(int descriptor, Clock::time_point deadline) {
    for (;;) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || Clock::now() >= deadline)
            return errno;
        std::this_thread::sleep_for(kRetryEvery);
    }
}

bool names_same_file(const std::string& path, int descriptor) {
    struct stat named {};
    struct stat held {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(descriptor, &held) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

} // namespace

DesignFileLock::~DesignFileLock() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

// A save renames a new file over the old one, so the lock a writer held was
// on the old file: a writer that waited for it then holds a lock on a file
// the name no longer leads to. So once locked, the name is looked up again,
// and while it leads elsewhere the lock is taken on the file it now leads to.
std::string DesignFileLock::acquire(const std::string& path) {
    const Clock::time_point deadline = Clock::now() + kLongestWait;
    for (;;) {
        // Without O_NONBLOCK a FIFO would hold the program here.
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat status {};
        if (descriptor < 0)
            return {};
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(descriptor);
            return {};
        }
        if (const int error = lock_until(descriptor, deadline)) {
            ::close(descriptor);
            return path + ": " +
                   (error == EWOULDBLOCK ? "busy: another program is writing it"
                                         : std::generic_category().message(error));
        }
        if (names_same_file(path, descriptor)) {
            descriptor_ = descriptor;
            return {};
        }
        ::close(descriptor);
    }
}

std::optional<FileStamp> DesignFileLock::stamp() const {
    struct stat status {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0)
        return std::nullopt;
    return stamp_of(status);
}

} // namespace sorrel
