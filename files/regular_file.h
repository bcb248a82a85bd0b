#pragma once
// Reading a whole file the user named, safely: only a regular file, and only
// up to a size no file of ours comes near, so a FIFO never holds the program,
// a device never fills its memory and a folder is refused as a folder.

#include "files/file_stamp.h"

#include <cstddef>
#include <string>

namespace sorrel {

// A written design file is some 110 KB and a geometry file a few KB. A name
// typed by mistake can name a disk image far larger; reading one whole would
// take the program's memory, and the work held in it, down with it.
inline constexpr std::size_t kLargestReadFile = 16 * 1024 * 1024;

struct FileBytes {
    std::string bytes;
    std::string problem; // the reason it was not read ("Is a directory"); empty when read
    FileStamp stamp;     // the version of the file read
};

// The whole content of the regular file `path` names (links followed).
// Refused: anything else (a folder, a FIFO, a device), a file larger than
// kLargestReadFile, and what the system refuses.
FileBytes read_regular_file(const std::string& path);

} // namespace sorrel
