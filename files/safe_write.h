#pragma once
// Every file the program writes (design files, PDF pages) is written here,
// so that a save either puts the whole new file in place or leaves the old
// one as it was and says why.

#include "files/file_stamp.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorrel {

struct WriteOutcome {
    bool written = false;           // false: the previous file, if any, is untouched
    std::string error;              // "<path>: <system reason>", when not written
    std::optional<FileStamp> stamp; // the regular file written, when written
};

// Puts `bytes` into the file `path` names.
//
// A regular file (or a name that does not exist yet) is replaced whole: the
// bytes go into a new file in the same folder, unnamed where the file system
// allows so that a killed save leaves nothing behind, created with the final
// permissions (and, as root, the old file's owner and group), synced, then
// renamed over the target, and the folder is synced. A symbolic link keeps
// its place and the file it leads to is replaced, or created when the link
// dangles; a loop of links is refused. An existing file the user may not
// write is refused.
//
// Anything else that exists (a device, a FIFO) is written to directly, as a
// shell's redirection would, so "/dev/stdout" streams and "/dev/null"
// discards.
WriteOutcome write_file_safely(const std::string& path, std::string_view bytes);

} // namespace sorrel
