#include "lib/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

TBoundedFile Failure(TFileReadResult result, std::uint64_t size = 0) {
    TBoundedFile file;
    file.Result = result;
    file.Size = size;
    return file;
}

}  // namespace

TBoundedFile ReadBoundedFile(const std::string& path, std::uint64_t limit) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return Failure(errno == ENOENT || errno == ENOTDIR || path.empty() ? TFileReadResult::Missing
                                                                           : TFileReadResult::Unreadable);
    // Devices are not even opened: opening some of them has effects.
    if (!S_ISREG(info.st_mode)) return Failure(TFileReadResult::NotRegular);
    if (static_cast<std::uint64_t>(info.st_size) > limit)
        return Failure(TFileReadResult::TooLarge, static_cast<std::uint64_t>(info.st_size));

    // Non-blocking, so that a FIFO put in the file's place meanwhile cannot hang the open.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return Failure(errno == ENOENT ? TFileReadResult::Missing : TFileReadResult::Unreadable);
    TBoundedFile file;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Failure(TFileReadResult::NotRegular);
    }
    // The file may grow while it is read: one byte past the limit is enough to know.
    file.Bytes.resize(
        static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size), limit)) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == file.Bytes.size()) {
            if (done > limit) break;
            file.Bytes.resize(std::min<std::uint64_t>(limit + 1, done * 2 + 4096));
        }
        const ssize_t got = read(fd, file.Bytes.data() + done, file.Bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(fd);
            return Failure(TFileReadResult::Unreadable);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    if (done > limit) return Failure(TFileReadResult::TooLarge, done);
    file.Bytes.resize(done);
    file.Size = done;
    file.Result = TFileReadResult::Read;
    return file;
}

std::string BoundedReadProblem(const TBoundedFile& file, std::uint64_t limit) {
    switch (file.Result) {
        case TFileReadResult::Read:
            return "";
        case TFileReadResult::Missing:
            return "does not exist";
        case TFileReadResult::NotRegular:
            return "is not a regular file";
        case TFileReadResult::TooLarge:
            return "is too large (" + std::to_string(file.Size) + " bytes, at most " + std::to_string(limit) + ")";
        case TFileReadResult::Unreadable:
            break;
    }
    return "cannot be read";
}
