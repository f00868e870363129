#include "store/storage_file_stream.h"

namespace wm {
namespace {

uint32_t WholeItems(int32_t bytes, uint32_t itemSize) {
    if (bytes <= 0 || itemSize == 0) return 0;
    return static_cast<uint32_t>(bytes) / itemSize;
}

// The byte count of a request, when it fits the storage object's 32-bit counts.
bool ByteCount(uint32_t itemSize, uint32_t itemCount, int32_t* bytes) {
    const uint64_t total = uint64_t{itemSize} * itemCount;
    if (total > INT32_MAX) return false;
    *bytes = static_cast<int32_t>(total);
    return true;
}

}  // namespace

StorageFileStream::~StorageFileStream() {
    if (storage_ != nullptr) {
        storage_->Close();
        delete storage_;
    }
}

uint32_t StorageFileStream::Read(void* buffer, uint32_t itemSize, uint32_t itemCount) {
    int32_t bytes = 0;
    if (storage_ == nullptr || buffer == nullptr || !ByteCount(itemSize, itemCount, &bytes)) return 0;
    return WholeItems(storage_->Read(buffer, bytes), itemSize);
}

int32_t StorageFileStream::ReadLine(char* buffer, int32_t bufferSize) {
    return ReadLineByBytes(buffer, bufferSize);
}

uint32_t StorageFileStream::Write(const void* buffer, uint32_t itemSize, uint32_t itemCount) {
    int32_t bytes = 0;
    if (storage_ == nullptr || buffer == nullptr || !ByteCount(itemSize, itemCount, &bytes)) return 0;
    return WholeItems(storage_->Write(buffer, bytes), itemSize);
}

int32_t StorageFileStream::Tell() {
    return storage_ != nullptr ? storage_->Tell() : -1;
}

bool StorageFileStream::Seek(int32_t offset, int32_t origin) {
    if (storage_ == nullptr) return false;
    if (origin == FileStreamFromStart) {
        return storage_->SeekTo(offset);
    }
    if (origin == FileStreamFromEnd) {
        const int32_t length = storage_->Length(0, 0);
        if (length == 0) return false;
        const int32_t back = offset < length - 1 ? offset : length - 1;
        return storage_->SeekTo(length - 1 - back);
    }
    return storage_->SeekTo(storage_->Tell() + offset);
}

int32_t StorageFileStream::Length() {
    return storage_ != nullptr ? storage_->Length(0, 0) : 0;
}

bool StorageFileStream::Open(const char* path, uint32_t flags) {
    if (storage_ == nullptr || !OpenStorage(path, flags)) return false;
    if ((flags & FileStreamAppend) != 0 && !MoveToEnd()) {
        storage_->Close();
        return false;
    }
    return IsOpen();
}

int32_t StorageFileStream::Close() {
    if (storage_ != nullptr) storage_->Close();
    return 0;
}

bool StorageFileStream::OpenStorage(const char* path, uint32_t flags) {
    if ((flags & FileStreamWrite) == 0) {
        return storage_->Open(path, StorageRead);
    }
    if ((flags & FileStreamAppend) == 0) {
        storage_->Create(path);
    }
    return storage_->Open(path, StorageWrite) || storage_->Open(path, StorageWriteAlternative);
}

bool StorageFileStream::MoveToEnd() {
    const int32_t length = storage_->Length(0, 0);
    return length == 0 || storage_->SeekTo(length);
}

}  // namespace wm
