#include "store/file_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "store/handle_file_stream.h"
#include "store/stdio_file_stream.h"
#include "store/storage_file_stream.h"

namespace wm {

int FileStream::SeekWhence(int32_t origin) {
    if (origin == FileStreamFromStart) return SEEK_SET;
    if (origin == FileStreamFromEnd) return SEEK_END;
    return SEEK_CUR;
}

bool FileStream::ReadInt32(int32_t* value) {
    return Read(value, 4, 1) == 1;
}

bool FileStream::ReadChar(char* value) {
    return Read(value, 1, 1) == 1;
}

bool FileStream::ReadUChar(unsigned char* value) {
    return Read(value, 1, 1) == 1;
}

bool FileStream::ReadString(char* buffer, int32_t* capacity) {
    int32_t length = 0;
    // A negative length or capacity would have the zero byte land before the buffer.
    if (buffer == nullptr || capacity == nullptr || *capacity < 1 || !ReadInt32(&length) || length < 0) {
        return false;
    }
    const int64_t stored = std::min<int64_t>(*capacity, int64_t{length} + 1);
    *capacity = static_cast<int32_t>(stored);
    const auto bytes = static_cast<uint32_t>(stored - 1);
    if (Read(buffer, 1, bytes) != bytes) {
        return false;
    }
    buffer[bytes] = '\0';
    Seek(static_cast<int32_t>(length - static_cast<int32_t>(bytes)), FileStreamFromCurrent);
    return true;
}

bool FileStream::WriteInt32(int32_t value) {
    return Write(&value, 4, 1) == 1;
}

bool FileStream::WriteChar(char value) {
    return Write(&value, 1, 1) == 1;
}

bool FileStream::WriteUChar(unsigned char value) {
    return Write(&value, 1, 1) == 1;
}

bool FileStream::WriteString(const char* text) {
    const char* bytes = text != nullptr ? text : "";
    const auto length = static_cast<uint32_t>(std::strlen(bytes));
    WriteInt32(static_cast<int32_t>(length));
    return Write(bytes, 1, length) == length;
}

int32_t FileStream::ReadLineByBytes(char* buffer, int32_t bufferSize) {
    if (buffer == nullptr || bufferSize < 1) {
        return 0;
    }
    int32_t stored = 0;
    while (stored < bufferSize - 1 && Read(buffer + stored, 1, 1) == 1) {
        if (buffer[stored++] == '\n') {
            break;
        }
    }
    buffer[stored] = '\0';
    return stored;
}

std::unique_ptr<FileStream> CreateFileStream(const char* path, uint32_t flags, StorageSourceInterface* source) {
    std::unique_ptr<FileStream> stream;
    if (source != nullptr) {
        stream = std::make_unique<StorageFileStream>(source->NewStorage());
    } else if ((flags & FileStreamRuntime) != 0) {
        stream = std::make_unique<StdioFileStream>();
    } else {
        stream = std::make_unique<HandleFileStream>();
    }
    if (!stream->Open(path, flags)) {
        return nullptr;
    }
    return stream;
}

}  // namespace wm
