// Streams over bytes in memory and over files.
#include "platform/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

int64_t MemoryStream::read(void* buffer, int64_t count)
{
    if (count <= 0 || position_ >= size()) return 0;
    const int64_t n = std::min(count, size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t MemoryStream::seek(int64_t offset, SeekOrigin origin)
{
    const int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : size();
    if (offset > INT64_MAX - base) return -1;
    const int64_t target = base + offset;
    if (target < 0) return -1;
    position_ = target;
    return position_;
}

void MemoryStream::write(const void* buffer, int64_t count)
{
    if (count <= 0) return;
    const auto end = static_cast<size_t>(position_ + count);
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
}

std::unique_ptr<FileStream> FileStream::openRead(const std::string& path, std::string* reason)
{
    const auto refuse = [reason](const char* why) -> std::unique_ptr<FileStream> {
        if (reason) *reason = why;
        return nullptr;
    };
    // O_NONBLOCK: opening a FIFO with no writer would wait for one for ever. The kind
    // of file is checked on the open descriptor, so it cannot change in between.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return refuse(std::strerror(errno));
    const auto closeAndRefuse = [&](const char* why) {
        close(descriptor);
        return refuse(why);
    };
    struct stat info {};
    if (fstat(descriptor, &info) != 0) return closeAndRefuse(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return closeAndRefuse(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode)) return closeAndRefuse("Not a regular file");
    // Reads of a regular file never wait; blocking mode again all the same.
    std::FILE* file = fcntl(descriptor, F_SETFL, 0) == 0 ? fdopen(descriptor, "rb") : nullptr;
    if (!file) return closeAndRefuse(std::strerror(errno));
    // A large buffer: readers take a bitmap row by row, and the default buffer of one
    // disk block turns every row into a system call. (A null buffer would keep the
    // default size.)
    constexpr size_t BufferSize = 256 * 1024;
    auto buffer = std::make_unique<char[]>(BufferSize);
    std::setvbuf(file, buffer.get(), _IOFBF, BufferSize);
    return std::unique_ptr<FileStream>(new FileStream(file, static_cast<int64_t>(info.st_size), std::move(buffer)));
}

FileStream::~FileStream() { std::fclose(file_); }

int64_t FileStream::read(void* buffer, int64_t count)
{
    if (count <= 0) return 0;
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(count), file_);
    if (n < static_cast<size_t>(count) && std::ferror(file_)) {
        std::clearerr(file_);
        return -1;
    }
    return static_cast<int64_t>(n);
}

int64_t FileStream::seek(int64_t offset, SeekOrigin origin)
{
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    if (fseeko(file_, static_cast<off_t>(offset), whence) != 0) return -1;
    return static_cast<int64_t>(ftello(file_));
}
