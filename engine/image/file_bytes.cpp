#include "engine/image/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// Windows' C library opens files in text mode unless told otherwise, and has no close-on-exec flag.
#ifdef _WIN32
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;
#else
constexpr int kOpenFlags = O_CLOEXEC;
#endif

namespace velor {

namespace {

// Closes the descriptor on every return path.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

ImageResult<std::vector<uint8_t>> ReadFileBytes(std::string_view path) {
    const std::string name(path);
    FileDescriptor file{open(name.c_str(), O_RDONLY | kOpenFlags)};
    if (file.fd < 0) return ImageResult<std::vector<uint8_t>>::Fail(name + ": cannot open file");

    struct stat info {};
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return ImageResult<std::vector<uint8_t>>::Fail(name + ": not a regular file");
    const uint64_t length = uint64_t(info.st_size);
    if (length > kMaxImageFileBytes)
        return ImageResult<std::vector<uint8_t>>::Fail(name + ": file too large (" + std::to_string(length) +
                                                       " bytes)");

    std::vector<uint8_t> bytes(length);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return ImageResult<std::vector<uint8_t>>::Fail(name + ": cannot read file");
        done += size_t(got);
    }
    return bytes;
}

ImageStatus WriteFileBytes(std::string_view path, const std::vector<uint8_t>& bytes) {
    const std::string name(path);
    FileDescriptor file{open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | kOpenFlags, 0644)};
    if (file.fd < 0) return ImageStatus::Fail(name + ": cannot write file: " + std::strerror(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(file.fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return ImageStatus::Fail(name + ": cannot write file: " + std::strerror(errno));
        done += size_t(put);
    }
    const int fd = file.fd;
    file.fd = -1;
    if (close(fd) != 0) return ImageStatus::Fail(name + ": cannot write file: " + std::strerror(errno));
    return ImageStatus::Ok();
}

}  // namespace velor
