// A file stream over an operating-system file descriptor. Closed, every operation answers its
// neutral value (0, -1 for Tell, false) without a system call.
#ifndef WRENMAIL_STORE_HANDLE_FILE_STREAM_H
#define WRENMAIL_STORE_HANDLE_FILE_STREAM_H

#include "store/file_stream.h"

namespace wm {

class HandleFileStream final : public FileStream {
public:
    HandleFileStream() = default;
    ~HandleFileStream() override;

    bool HXCALL IsOpen() override { return fd_ >= 0; }
    // One system call for all the bytes: the item count when all moved, else the whole items moved.
    uint32_t HXCALL Read(void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    int32_t HXCALL ReadLine(char* buffer, int32_t bufferSize) override;
    uint32_t HXCALL Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    // Capped at 2147483647.
    int32_t HXCALL Tell() override;
    // True when the new position equals the offset, whatever the origin.
    bool HXCALL Seek(int32_t offset, int32_t origin) override;
    int32_t HXCALL Length() override;
    // Cuts or extends the file at `size`, leaving the position there; 1 on success.
    int32_t HXCALL SetLength(int32_t size) override;
    intptr_t HXCALL NativeHandle() override;
    // Unbuffered: answers whether the stream is open.
    int32_t HXCALL SetBuffer(char* buffer, uint32_t size) override;
    // Read and write access with FileStreamWrite; FileStreamAppend alone adds write access in
    // which every write goes to the end; FileStreamCreate truncates or makes the file, otherwise
    // it must exist.
    bool HXCALL Open(const char* path, uint32_t flags) override;
    // 1 when an open file was closed.
    int32_t HXCALL Close() override;

private:
    int fd_ = -1;
};

}  // namespace wm

#endif
