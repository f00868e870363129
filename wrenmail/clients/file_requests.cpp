#include "clients/file_requests.h"

#include <cstring>

#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

EDict NewRequest(uint16_t type) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    return record;
}

// A request about a file of the handle's current directory.
EDict FileRequest(uint16_t type, uint32_t handle, const char* fileName) {
    EDict record = NewRequest(type);
    EDictPutHandle(&record, atoms::files::HANDLE, handle);
    EDictPutText(&record, atoms::files::FILENAME, fileName);
    return record;
}

bool Succeeded(const EDict& answer) {
    return EDictGetLong(&answer, atoms::STATUS) > 0;
}

template <typename T>
T* Referenced(const EDict& answer, uint16_t key) {
    return static_cast<T*>(HxDeref(static_cast<uint32_t>(EDictGetLong(&answer, key))));
}

}  // namespace

uint32_t FileOpenHandle() {
    EDict record = NewRequest(code::kOpen);
    HxPortSend(atoms::files::FileIOPort, &record);
    if (!Succeeded(record)) {
        return 0;
    }
    return static_cast<uint32_t>(EDictGetLong(&record, atoms::files::HANDLE));
}

void FileCloseHandle(uint32_t handle) {
    if (handle == 0) {
        return;
    }
    EDict record = NewRequest(code::kClose);
    EDictPutHandle(&record, atoms::files::HANDLE, handle);
    HxPortSend(atoms::files::FileIOPort, &record);
}

void FileChangeDirectory(uint32_t handle, const char* name, bool root) {
    if (handle == 0) {
        return;
    }
    EDict record = NewRequest(code::kSet);
    EDictPutHandle(&record, atoms::files::HANDLE, handle);
    EDictPutLong(&record, atoms::files::CHANGE, 1);
    if (name != nullptr && std::strcmp(name, "..") == 0) {
        EDictPutLong(&record, atoms::files::PARENT, 1);
    } else if (name != nullptr) {
        EDictPutText(&record, atoms::files::DIRECTORY, name);
    }
    if (root) {
        EDictPutLong(&record, atoms::files::ROOT, 1);
    }
    HxPortSend(atoms::files::FileIOPort, &record);
}

void FileCreateDirectory(uint32_t handle, const char* name) {
    if (handle == 0) {
        return;
    }
    EDict record = NewRequest(code::kSet);
    EDictPutHandle(&record, atoms::files::HANDLE, handle);
    EDictPutLong(&record, atoms::files::CREATE, 1);
    EDictPutText(&record, atoms::files::DIRECTORY, name);
    HxPortSend(atoms::files::FileIOPort, &record);
}

void FileCreateDict(uint32_t handle, const char* fileName) {
    if (handle == 0) {
        return;
    }
    DictObject empty;
    EDict record = FileRequest(code::kWriteDict, handle, fileName);
    EDictPutHandle(&record, atoms::files::DICT, HxRef(static_cast<DictInterface*>(&empty)));
    EDictPutLong(&record, atoms::files::CREATE, 1);
    HxPortSend(atoms::files::FileIOPort, &record);
}

void FileWriteDict(uint32_t handle, const char* fileName, DictInterface* dict) {
    if (handle == 0) {
        return;
    }
    EDict record = FileRequest(code::kWriteDict, handle, fileName);
    EDictPutHandle(&record, atoms::files::DICT, HxRef(dict));
    HxPortSend(atoms::files::FileIOPort, &record);
}

DictInterface* FileReadDict(uint32_t handle, const char* fileName) {
    if (handle == 0) {
        return nullptr;
    }
    EDict record = FileRequest(code::kStart, handle, fileName);
    HxPortSend(atoms::files::FileIOPort, &record);
    return Referenced<DictInterface>(record, atoms::files::DICT);
}

void FileDelete(uint32_t handle, const char* fileName) {
    if (handle == 0) {
        return;
    }
    EDict record = FileRequest(code::kDelete, handle, fileName);
    HxPortSend(atoms::files::FileIOPort, &record);
}

FioQueryInterface* FileList(uint32_t handle) {
    if (handle == 0) {
        return nullptr;
    }
    EDict record = NewRequest(code::kQuery);
    EDictPutHandle(&record, atoms::files::HANDLE, handle);
    HxPortSend(atoms::files::FileIOPort, &record);
    if (!Succeeded(record)) {
        return nullptr;
    }
    return Referenced<FioQueryInterface>(record, atoms::files::FioQuery);
}

}  // namespace wm
