#include "store/trash.h"

#include "state/service_handles.h"
#include "state/user_identity.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"

namespace wm {
namespace {

const char* OwnerOf(uint32_t ownerKind) {
    return ownerKind == OwnerKiteAccount ? Identity().GetKiteId() : Identity().GetPlayerId();
}

// Hands the stored text to the mail service and stores the new message in the owner's Trash.
void MoveToTrash(const char* owner, uint32_t ownerKind, const char* text, const char* fileName) {
    const MailObject message(MailNewMessage(text));
    FileDelete(Services().file_service, fileName);
    OpenMailFolder(owner, ownerKind, FolderTrash);
    SaveMessageToFolder(message.Get());
}

}  // namespace

void TrashMessage(uint32_t ownerKind, uint32_t id) {
    const char* owner = OwnerOf(ownerKind);
    OpenMailFolder(owner, ownerKind, FolderInBox);
    char name[kMessageFileNameSize];
    FormatMessageFileName(name, id);
    uint32_t storedId = 0;
    if (const char* text = LoadMessageFile(name, &storedId)) {
        MoveToTrash(owner, ownerKind, text, name);
    } else {
        FileDelete(Services().file_service, name);
    }
    RemoveHeader(Services().header_list, ownerKind, id);
}

void EmptyTrash(const char* ownerId, uint32_t ownerKind) {
    OpenMailFolder(ownerId, ownerKind, FolderTrash);
    const uint32_t handle = Services().file_service;
    FioQueryInterface* listing = FileList(handle);
    if (listing == nullptr) {
        return;
    }
    // The listing is a snapshot: deleting does not shift its names.
    for (int32_t index = 0; const char* name = listing->NameAt(index); ++index) {
        FileDelete(handle, name);
    }
}

}  // namespace wm
