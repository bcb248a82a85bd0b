#include "files/safe_write.h"

#include "model/text_format.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel {
namespace {

namespace fs = std::filesystem;

// Symbolic links followed before a name counts as a loop, as the kernel
// counts them.
constexpr int kLinkLimit = 40;

int write_all(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Tries `attempt` with fresh names beside `target` ("NAME.<pid>-<n>.tmp")
// while the name it tried is taken; `name` holds the last name tried.
template <class Attempt>
int with_free_name(const std::string& target, std::string& name, Attempt attempt) {
    static unsigned serial = 0;
    for (int tries = 0; tries < 100; ++tries) {
        name = target + format(".%ld-%u.tmp", static_cast<long>(::getpid()), serial++);
        if (attempt(name) == 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// The new file of a save, in the folder of its target: unnamed where the
// file system offers that, else under a temporary name that is removed
// unless the file is renamed into place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!name_.empty())
            ::unlink(name_.c_str());
    }

    // Creates the file with `mode` (narrowed by the umask); returns 0 or errno.
    int create(const std::string& target, mode_t mode) {
        const std::string folder = fs::path(target).parent_path().string();
        descriptor_ =
            ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (descriptor_ >= 0)
            return 0;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
        return with_free_name(target, name_, [&](const std::string& name) {
            descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return descriptor_ >= 0 ? 0 : -1;
        });
    }

    int descriptor() const { return descriptor_; }

    // Gives the written file the target's name, replacing what it names.
    int publish(const std::string& target) {
        if (name_.empty()) {
            const std::string self = format("/proc/self/fd/%d", descriptor_);
            if (link_to(self, target) == 0)
                return 0;
            if (errno != EEXIST)
                return errno;
            // linkat never replaces a name: link beside the target, then
            // rename over it, which leaves a name behind only if the
            // program dies between the two calls.
            if (const int error = with_free_name(
                    target, name_, [&](const std::string& name) { return link_to(self, name); }))
                return error;
        }
        if (std::rename(name_.c_str(), target.c_str()) != 0)
            return errno;
        name_.clear();
        return 0;
    }

private:
    static int link_to(const std::string& self, const std::string& name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
    }

    int descriptor_ = -1;
    std::string name_; // empty while the file is unnamed or once it is in place
};

// The name a save replaces: where `path` leads through symbolic links, so a
// link keeps pointing at the file instead of becoming one. A dangling link
// leads to the name it holds. Returns 0 or errno (ELOOP for a loop).
int resolve_target(const std::string& path, std::string& target) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        std::error_code error;
        const fs::path canonical = fs::canonical(path, error);
        target = error ? path : canonical.string();
        return 0;
    }
    if (errno != ENOENT)
        return errno;
    target = path;
    for (int links = 0; links < kLinkLimit; ++links) {
        char held[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), held, sizeof held);
        if (length < 0)
            return errno == ENOENT || errno == EINVAL ? 0 : errno;
        if (static_cast<std::size_t>(length) == sizeof held)
            return ENAMETOOLONG;
        const fs::path next(std::string(held, static_cast<std::size_t>(length)));
        target = (next.is_absolute() ? next : fs::path(target).parent_path() / next).string();
    }
    return ELOOP;
}

// Writes into something that is not a regular file, as it stands.
int write_in_place(const std::string& path, std::string_view bytes) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    int error = write_all(descriptor, bytes);
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    return error;
}

// A rename is lasting only once the folder holding the name is synced. File
// systems that cannot sync a folder say EINVAL; they have nothing to sync.
int sync_folder(const std::string& target) {
    const std::string folder = fs::path(target).parent_path().string();
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    int error = ::fsync(descriptor) == 0 || errno == EINVAL ? 0 : errno;
    ::close(descriptor);
    return error;
}

// Gives the new file the old one's owner, group and permissions. Only root
// may give a file away; the mode follows the owner, as chown clears set-id bits.
int take_over_identity(int descriptor, const struct stat& old) {
    if (::geteuid() == 0 && ::fchown(descriptor, old.st_uid, old.st_gid) != 0)
        return errno;
    return ::fchmod(descriptor, old.st_mode & 07777) == 0 ? 0 : errno;
}

int replace_regular_file(const std::string& target, const struct stat* old, std::string_view bytes,
                         std::optional<FileStamp>& stamp) {
    // A file the user may not write stays as it is, as if written in place.
    if (old && ::access(target.c_str(), W_OK) != 0)
        return errno;
    TemporaryFile file;
    if (const int error = file.create(target, old ? old->st_mode & 0777 : 0666))
        return error;
    const int descriptor = file.descriptor();
    if (old)
        if (const int error = take_over_identity(descriptor, *old))
            return error;
    if (const int error = write_all(descriptor, bytes))
        return error;
    struct stat written {};
    if (::fsync(descriptor) != 0 || ::fstat(descriptor, &written) != 0)
        return errno;
    if (const int error = file.publish(target))
        return error;
    stamp = stamp_of(written);
    return sync_folder(target);
}

int write_bytes(const std::string& path, std::string_view bytes, std::optional<FileStamp>& stamp) {
    std::string target;
    if (const int error = resolve_target(path, target))
        return error;
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
        return replace_regular_file(target, nullptr, bytes, stamp);
    if (S_ISDIR(old.st_mode))
        return EISDIR;
    if (!S_ISREG(old.st_mode))
        return write_in_place(path, bytes);
    return replace_regular_file(target, &old, bytes, stamp);
}

} // namespace

WriteOutcome write_file_safely(const std::string& path, std::string_view bytes) {
    WriteOutcome outcome;
    if (const int error = write_bytes(path, bytes, outcome.stamp))
        outcome.error = path + ": " + std::generic_category().message(error);
    else
        outcome.written = true;
    return outcome;
}

} // namespace sorrel
