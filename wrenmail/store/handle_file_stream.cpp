#include "store/handle_file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace wm {
namespace {

int32_t Capped(off_t value) {
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

// Whole items among the bytes moved by one call.
uint32_t ItemsMoved(ssize_t moved, uint32_t itemSize, uint32_t itemCount) {
    if (moved <= 0 || itemSize == 0) return 0;
    const auto bytes = static_cast<uint64_t>(moved);
    if (bytes == uint64_t{itemSize} * itemCount) return itemCount;
    return static_cast<uint32_t>(bytes / itemSize);
}

int OpenFlags(uint32_t flags) {
    int access = O_RDONLY;
    if ((flags & FileStreamWrite) != 0) {
        access = O_RDWR;
    } else if ((flags & FileStreamAppend) != 0) {
        access = O_RDWR | O_APPEND;
    }
    if ((flags & FileStreamCreate) != 0) access |= O_CREAT | O_TRUNC;
    return access | O_CLOEXEC;
}

}  // namespace

HandleFileStream::~HandleFileStream() {
    Close();
}

uint32_t HandleFileStream::Read(void* buffer, uint32_t itemSize, uint32_t itemCount) {
    if (!IsOpen() || buffer == nullptr) return 0;
    return ItemsMoved(read(fd_, buffer, size_t{itemSize} * itemCount), itemSize, itemCount);
}

int32_t HandleFileStream::ReadLine(char* buffer, int32_t bufferSize) {
    return ReadLineByBytes(buffer, bufferSize);
}

uint32_t HandleFileStream::Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) {
    if (!IsOpen() || buffer == nullptr) return 0;
    return ItemsMoved(write(fd_, buffer, size_t{itemSize} * itemCount), itemSize, itemCount);
}

int32_t HandleFileStream::Tell() {
    if (!IsOpen()) return -1;
    const off_t position = lseek(fd_, 0, SEEK_CUR);
    return position < 0 ? -1 : Capped(position);
}

bool HandleFileStream::Seek(int32_t offset, int32_t origin) {
    return IsOpen() && lseek(fd_, offset, SeekWhence(origin)) == offset;
}

int32_t HandleFileStream::Length() {
    struct stat status {};
    if (!IsOpen() || fstat(fd_, &status) != 0) return 0;
    return Capped(status.st_size);
}

int32_t HandleFileStream::SetLength(int32_t size) {
    if (!IsOpen() || !Seek(size, FileStreamFromStart)) return 0;
    return ftruncate(fd_, size) == 0 ? 1 : 0;
}

intptr_t HandleFileStream::NativeHandle() {
    return IsOpen() ? fd_ : 0;
}

int32_t HandleFileStream::SetBuffer(char*, uint32_t) {
    return IsOpen() ? 1 : 0;
}

bool HandleFileStream::Open(const char* path, uint32_t flags) {
    Close();
    if (path != nullptr) {
        fd_ = open(path, OpenFlags(flags), 0666);
    }
    return IsOpen();
}

int32_t HandleFileStream::Close() {
    if (!IsOpen()) return 0;
    const int result = close(fd_);
    fd_ = -1;
    return result == 0 ? 1 : 0;
}

}  // namespace wm
