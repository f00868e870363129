// The common part of the three file stream kinds: the typed reads and writes, built on each kind's
// Read, Write and Seek, and the choice of kind.
#ifndef WRENMAIL_STORE_FILE_STREAM_H
#define WRENMAIL_STORE_FILE_STREAM_H

#include <cstdint>
#include <memory>

#include <file_stream.h>

namespace wm {

class FileStream : public FileStreamInterface {
public:
    FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    void HXCALL Reserved1() override {}
    int32_t HXCALL Reserved2() override { return 0; }
    int32_t HXCALL Reserved3() override { return 0; }

    bool HXCALL ReadInt32(int32_t* value) override;
    bool HXCALL ReadChar(char* value) override;
    bool HXCALL ReadUChar(unsigned char* value) override;
    // A 32-bit length L, then L bytes. `capacity` (at least 1) becomes min(capacity, L + 1); that
    // many bytes less one are stored with a zero after them, and the rest of the string is skipped.
    bool HXCALL ReadString(char* buffer, int32_t* capacity) override;
    // The 4-byte length as held in memory, then the bytes without terminator.
    bool HXCALL WriteInt32(int32_t value) override;
    bool HXCALL WriteChar(char value) override;
    bool HXCALL WriteUChar(unsigned char value) override;
    bool HXCALL WriteString(const char* text) override;

protected:
    // The C library's SEEK_SET, SEEK_END or SEEK_CUR for a FileStreamOrigin (anything else: current).
    static int SeekWhence(int32_t origin);
    // ReadLine for kinds without a line reader of their own: byte by byte through Read.
    int32_t ReadLineByBytes(char* buffer, int32_t bufferSize);
};

// Builds the kind the arguments choose (a storage object from `source` when it is given, else a
// runtime stream with FileStreamRuntime, else an operating-system file) and opens it; null when
// it does not open.
std::unique_ptr<FileStream> CreateFileStream(const char* path, uint32_t flags, StorageSourceInterface* source);

}  // namespace wm

#endif
