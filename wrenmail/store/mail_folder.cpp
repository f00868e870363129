#include "store/mail_folder.h"

#include "messaging/dict_object.h"
#include "state/service_handles.h"
#include "clients/file_requests.h"

WM_DEFINE_ATOM(store, LastID)

namespace wm {
namespace {

// Creating a directory that exists is harmless, and results are not looked at: a failed step
// leaves later requests acting wherever the service stayed.
void EnterDirectory(uint32_t handle, const char* name) {
    FileCreateDirectory(handle, name);
    FileChangeDirectory(handle, name, false);
}

const char* FolderName(uint32_t folder) {
    switch (folder) {
        case FolderOutBox:
            return "OutBox";
        case FolderInBox:
            return "InBox";
        case FolderTrash:
            return "Trash";
        default:
            return nullptr;
    }
}

}  // namespace

void OpenMailFolder(const char* ownerId, uint32_t ownerKind, uint32_t folder) {
    const uint32_t handle = Services().file_service;
    FileChangeDirectory(handle, nullptr, true);
    EnterDirectory(handle, "MailBoxes");
    if (ownerKind == OwnerNone) {
        return;
    }
    EnterDirectory(handle, ownerKind == OwnerKiteAccount ? "kiteAccounts" : "Players");
    if (ownerId == nullptr) {
        return;
    }
    EnterDirectory(handle, ownerId);
    if (const char* name = FolderName(folder)) {
        EnterDirectory(handle, name);
    }
}

uint32_t ReadLastId() {
    const uint32_t handle = Services().file_service;
    DictInterface* folder = FileReadDict(handle, kFolderFile);
    if (folder == nullptr) {
        FileCreateDict(handle, kFolderFile);
        return 1;
    }
    return static_cast<uint32_t>(folder->GetLong(atoms::store::LastID));
}

void WriteLastId(uint32_t id) {
    const uint32_t handle = Services().file_service;
    FileCreateDict(handle, kFolderFile);
    DictObject folder;
    folder.PutLong(atoms::store::LastID, static_cast<int32_t>(id));
    FileWriteDict(handle, kFolderFile, &folder);
}

}  // namespace wm
