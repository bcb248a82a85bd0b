#pragma once
// Keeps other writers off a design file while it is read, changed and
// written back, so that two programs saving one file at once cannot lose
// each other's work.

#include "files/file_stamp.h"

#include <optional>
#include <string>

namespace sorrel {

// An exclusive advisory lock (flock) on the file a path names, held for the
// lock's lifetime.
class DesignFileLock {
public:
    DesignFileLock() = default;
    DesignFileLock(const DesignFileLock&) = delete;
    DesignFileLock& operator=(const DesignFileLock&) = delete;
    ~DesignFileLock();

    // Locks the regular file `path` names, waiting up to a few seconds for
    // another writer to finish. Returns "" once locked, and also when there
    // is no regular file to lock (nothing to protect; the read or write that
    // follows reports what is wrong), else "<path>: busy: another program is
    // writing it" or the system's reason.
    std::string acquire(const std::string& path);

    // The locked file's stamp as it stands; empty when nothing is locked.
    std::optional<FileStamp> stamp() const;

private:
    int descriptor_ = -1;
};

} // namespace sorrel
