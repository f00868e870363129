#include "store/header_list_builder.h"

#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "state/user_identity.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "store/stored_names.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"

namespace wm {
namespace {

void AppendStoredHeader(const char* fileName, uint32_t ownerKind) {
    uint32_t mailId = 0;
    const char* text = LoadMessageFile(fileName, &mailId);
    if (text == nullptr) {
        return;
    }
    const MailObject message(MailNewMessage(text));
    if (mailId != 0) {
        AppendHeader(Services().header_list, MailGetText(message.Get(), atoms::mail::From),
                     MailGetText(message.Get(), atoms::mail::Subject),
                     static_cast<uint32_t>(MailGetLong(message.Get(), atoms::mail::Date)), mailId, ownerKind);
    }
}

void AppendInboxHeaders(const char* ownerId, uint32_t ownerKind) {
    if (ownerId[0] == '\0') {
        return;
    }
    OpenMailFolder(ownerId, ownerKind, FolderInBox);
    FioQueryInterface* listing = FileList(Services().file_service);
    if (listing == nullptr) {
        return;
    }
    // Reads do not touch the listing; only the next listing replaces it.
    for (int32_t index = 0; const char* name = listing->NameAt(index); ++index) {
        if (IsMessageFileName(name)) {
            AppendStoredHeader(name, ownerKind);
        }
    }
}

}  // namespace

void BuildHeaderList() {
    CreateHeaderList();
    AppendInboxHeaders(Identity().GetKiteId(), OwnerKiteAccount);
    AppendInboxHeaders(Identity().GetPlayerId(), OwnerPlayer);
}

void RebuildHeaderList() {
    DeleteHeaderList();
    BuildHeaderList();
}

}  // namespace wm
