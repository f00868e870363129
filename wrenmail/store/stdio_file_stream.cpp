#include "store/stdio_file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace wm {

StdioFileStream::~StdioFileStream() {
    Close();
}

std::string StdioFileStream::ModeText(uint32_t flags) {
    std::string mode = "r";
    if ((flags & FileStreamWrite) != 0) mode = "r+";
    if ((flags & FileStreamCreate) != 0) mode = "w+";
    if ((flags & FileStreamAppend) != 0) mode += "a";
    mode += (flags & FileStreamBinary) != 0 ? "b" : "t";
    return mode;
}

uint32_t StdioFileStream::Read(void* buffer, uint32_t itemSize, uint32_t itemCount) {
    if (file_ == nullptr || buffer == nullptr) return 0;
    return static_cast<uint32_t>(std::fread(buffer, itemSize, itemCount, file_));
}

int32_t StdioFileStream::ReadLine(char* buffer, int32_t bufferSize) {
    if (buffer == nullptr || bufferSize < 1) return 0;
    buffer[0] = '\0';
    if (file_ == nullptr || bufferSize < 2 || std::fgets(buffer, bufferSize, file_) == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int32_t>(std::strlen(buffer));
}

uint32_t StdioFileStream::Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) {
    if (file_ == nullptr || buffer == nullptr) return 0;
    return static_cast<uint32_t>(std::fwrite(buffer, itemSize, itemCount, file_));
}

int32_t StdioFileStream::Tell() {
    if (file_ == nullptr) return -1;
    const long position = std::ftell(file_);
    return position > INT32_MAX ? INT32_MAX : static_cast<int32_t>(position);
}

bool StdioFileStream::Seek(int32_t offset, int32_t origin) {
    return file_ != nullptr && std::fseek(file_, offset, SeekWhence(origin)) == 0;
}

int32_t StdioFileStream::Length() {
    struct stat status {};
    if (file_ == nullptr || fstat(fileno(file_), &status) != 0) return -1;
    return status.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.st_size);
}

int32_t StdioFileStream::SetLength(int32_t size) {
    if (file_ == nullptr || size < 0) return -1;
    return ftruncate(fileno(file_), size) == 0 ? 0 : -1;
}

intptr_t StdioFileStream::NativeHandle() {
    return file_ != nullptr ? fileno(file_) : 0;
}

int32_t StdioFileStream::SetBuffer(char* buffer, uint32_t size) {
    if (file_ == nullptr) return -1;
    return std::setvbuf(file_, buffer, _IOFBF, size);
}

bool StdioFileStream::Open(const char* path, uint32_t flags) {
    Close();
    if (path != nullptr) {
        file_ = std::fopen(path, ModeText(flags).c_str());
    }
    return IsOpen();
}

int32_t StdioFileStream::Close() {
    if (file_ == nullptr) return EOF;
    const int result = std::fclose(file_);
    file_ = nullptr;
    return result;
}

}  // namespace wm
