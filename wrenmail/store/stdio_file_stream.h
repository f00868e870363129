// A file stream over a runtime library stream (stdio).
#ifndef WRENMAIL_STORE_STDIO_FILE_STREAM_H
#define WRENMAIL_STORE_STDIO_FILE_STREAM_H

#include <cstdio>
#include <string>

#include "store/file_stream.h"

namespace wm {

class StdioFileStream final : public FileStream {
public:
    StdioFileStream() = default;
    ~StdioFileStream() override;

    // The fopen mode the flags give: "r", "r+" with write, "w+" with create (over write), then "a"
    // with append, then "b" for untranslated bytes or "t".
    static std::string ModeText(uint32_t flags);

    bool HXCALL IsOpen() override { return file_ != nullptr; }
    uint32_t HXCALL Read(void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    // The stored length; 0 at the end of the file.
    int32_t HXCALL ReadLine(char* buffer, int32_t bufferSize) override;
    uint32_t HXCALL Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    int32_t HXCALL Tell() override;
    bool HXCALL Seek(int32_t offset, int32_t origin) override;
    // The size of the file behind the stream; bytes still in the stream's buffer do not count.
    int32_t HXCALL Length() override;
    // 0 on success, -1 on failure.
    int32_t HXCALL SetLength(int32_t size) override;
    // The file descriptor, 0 when closed.
    intptr_t HXCALL NativeHandle() override;
    // Full buffering in the caller's buffer: setvbuf's answer, -1 when closed.
    int32_t HXCALL SetBuffer(char* buffer, uint32_t size) override;
    bool HXCALL Open(const char* path, uint32_t flags) override;
    // fclose's answer; -1 (EOF) when closed.
    int32_t HXCALL Close() override;

private:
    std::FILE* file_ = nullptr;
};

}  // namespace wm

#endif
