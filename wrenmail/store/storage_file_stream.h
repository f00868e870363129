// A file stream over a storage object that another component supplies. The stream owns the
// object: it closes and destroys it with itself.
#ifndef WRENMAIL_STORE_STORAGE_FILE_STREAM_H
#define WRENMAIL_STORE_STORAGE_FILE_STREAM_H

#include "store/file_stream.h"

namespace wm {

class StorageFileStream final : public FileStream {
public:
    // Takes ownership of `storage`, which may be null (the stream then never opens).
    explicit StorageFileStream(StorageObjectInterface* storage) : storage_(storage) {}
    ~StorageFileStream() override;

    bool HXCALL IsOpen() override { return storage_ != nullptr && storage_->OpenFlag(); }
    uint32_t HXCALL Read(void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    int32_t HXCALL ReadLine(char* buffer, int32_t bufferSize) override;
    uint32_t HXCALL Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) override;
    int32_t HXCALL Tell() override;
    // From the end, offset 0 is the last byte and offsets past the start stop at it; an empty
    // object cannot be sought from the end.
    bool HXCALL Seek(int32_t offset, int32_t origin) override;
    int32_t HXCALL Length() override;
    int32_t HXCALL SetLength(int32_t) override { return 0; }
    intptr_t HXCALL NativeHandle() override { return 0; }
    int32_t HXCALL SetBuffer(char*, uint32_t) override { return 0; }
    // With FileStreamWrite the name is created first (unless appending) and opened for writing,
    // with the alternative write access as fallback; else opened for reading. Appending then
    // moves to the end.
    bool HXCALL Open(const char* path, uint32_t flags) override;
    int32_t HXCALL Close() override;

private:
    bool OpenStorage(const char* path, uint32_t flags);
    bool MoveToEnd();

    StorageObjectInterface* storage_;
};

}  // namespace wm

#endif
