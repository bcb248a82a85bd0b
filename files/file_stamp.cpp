#include "files/file_stamp.h"

#include <sys/stat.h>

namespace sorrel {

FileStamp stamp_of(const struct stat& status) {
    constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNanosPerSecond +
                status.st_mtim.tv_nsec};
}

} // namespace sorrel
