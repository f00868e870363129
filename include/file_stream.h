/* File streams and the storage objects behind them. A stream handed to the host (as a Handle in a
 * resource request) is read through its table of virtual operations, and a storage source and its
 * inner storage objects may come from the host, so the order of every virtual operation below is
 * part of the ABI: never reorder or insert. */
#ifndef WRENMAIL_FILE_STREAM_H
#define WRENMAIL_FILE_STREAM_H

#include <stdint.h>

#include "hxcall.h"

/* Mode flags of a stream's Open. */
enum FileStreamFlags {
    FileStreamWrite = 1,    /* read and write access */
    FileStreamAppend = 2,
    FileStreamBinary = 4,   /* no line-end translation */
    FileStreamRuntime = 8,  /* the runtime-stream kind */
    FileStreamCreate = 16   /* truncate, or make a new file */
};

/* Seek origins; any other value seeks from the current position. */
enum FileStreamOrigin { FileStreamFromStart = 1, FileStreamFromEnd = 2, FileStreamFromCurrent = 0 };

class FileStreamInterface {
public:
    virtual void HXCALL Reserved1() = 0;
    virtual int32_t HXCALL Reserved2() = 0;
    virtual int32_t HXCALL Reserved3() = 0;
    virtual bool HXCALL IsOpen() = 0;
    virtual uint32_t HXCALL Read(void* buffer, uint32_t itemSize, uint32_t itemCount) = 0;
    virtual int32_t HXCALL ReadLine(char* buffer, int32_t bufferSize) = 0;
    virtual uint32_t HXCALL Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) = 0;
    virtual int32_t HXCALL Tell() = 0;
    virtual bool HXCALL Seek(int32_t offset, int32_t origin) = 0;
    virtual int32_t HXCALL Length() = 0;
    virtual int32_t HXCALL SetLength(int32_t size) = 0;
    virtual intptr_t HXCALL NativeHandle() = 0;
    virtual int32_t HXCALL SetBuffer(char* buffer, uint32_t size) = 0;
    virtual bool HXCALL ReadInt32(int32_t* value) = 0;
    virtual bool HXCALL ReadChar(char* value) = 0;
    virtual bool HXCALL ReadUChar(unsigned char* value) = 0;
    virtual bool HXCALL ReadString(char* buffer, int32_t* capacity) = 0;
    virtual bool HXCALL WriteInt32(int32_t value) = 0;
    virtual bool HXCALL WriteChar(char value) = 0;
    virtual bool HXCALL WriteUChar(unsigned char value) = 0;
    virtual bool HXCALL WriteString(const char* text) = 0;
    virtual ~FileStreamInterface() = default;
    virtual bool HXCALL Open(const char* path, uint32_t flags) = 0;
    virtual int32_t HXCALL Close() = 0;
};

/* Access codes of a storage object's Open. */
enum StorageAccess { StorageRead = 1, StorageWrite = 2, StorageWriteAlternative = 4 };

/* One named piece of storage, owned by the stream that asked its source for it. Operations 5, 6
 * and 10 are not used by streams. The open state is a byte in the object's fourth 32-bit word
 * (after the 8-byte table pointer and one word), where streams read it. */
class StorageObjectInterface {
public:
    virtual ~StorageObjectInterface() = default;
    virtual bool HXCALL Open(const char* name, int32_t access) = 0;
    virtual void HXCALL Close() = 0;
    virtual int32_t HXCALL Length(int32_t zero1, int32_t zero2) = 0;
    virtual void HXCALL Reserved5() {}
    virtual void HXCALL Reserved6() {}
    virtual int32_t HXCALL Tell() = 0;
    virtual int32_t HXCALL Read(void* buffer, int32_t count) = 0;
    virtual bool HXCALL SeekTo(int32_t position) = 0;
    virtual void HXCALL Reserved10() {}
    virtual void HXCALL Create(const char* name) = 0;
    virtual int32_t HXCALL Write(const void* buffer, int32_t count) = 0;

    bool OpenFlag() const { return openFlag_ != 0; }

protected:
    uint32_t word2_ = 0;
    uint8_t openFlag_ = 0;
};

/* Hands out storage objects: its thirteenth operation makes a new one, owned by the caller. The
 * first twelve belong to the source's own use. */
class StorageSourceInterface {
public:
    virtual void HXCALL Source1() {}
    virtual void HXCALL Source2() {}
    virtual void HXCALL Source3() {}
    virtual void HXCALL Source4() {}
    virtual void HXCALL Source5() {}
    virtual void HXCALL Source6() {}
    virtual void HXCALL Source7() {}
    virtual void HXCALL Source8() {}
    virtual void HXCALL Source9() {}
    virtual void HXCALL Source10() {}
    virtual void HXCALL Source11() {}
    virtual void HXCALL Source12() {}
    virtual StorageObjectInterface* HXCALL NewStorage() = 0;
    virtual ~StorageSourceInterface() = default;
};

#endif
