#pragma once
// Which version of a file is on disk: the file (device and inode) with its
// size and modification time. A save that renames a new file into place
// gives a new inode, an edit in place a new time or size.

#include <cstdint>

struct stat;

namespace sorrel {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;          // bytes
    std::int64_t modifiedNanos = 0; // modification time, ns since the epoch

    bool operator==(const FileStamp&) const = default;
};

FileStamp stamp_of(const struct stat& status);

} // namespace sorrel
