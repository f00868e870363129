#include "transport/mail_transfer.h"

#include <string>

#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "state/service_handles.h"
#include "state/user_identity.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "store/stored_names.h"
#include "store/trash.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"
#include "transport/transfer_progress.h"

namespace wm {
namespace {

// The chain leaves a little time between its steps.
constexpr int32_t kMailStepDelay = 10;

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == '\0';
}

TransferProgress* g_progress = nullptr;

void ShowNotice(uint16_t dialog, const char* text) {
    if (g_progress != nullptr) {
        g_progress->ShowNotice(dialog, text);
    }
}

void CloseNotice() {
    if (g_progress != nullptr) {
        g_progress->CloseNotice();
    }
}

// A file that does not read is sent as an empty message, then deleted like the rest.
void SendMessageFile(const char* fileName) {
    const MailObject message(MailNewMessage(LoadMessageFile(fileName, nullptr)));
    MailSendMessage(Services().mail_manager, message.Get());
}

void SendEachOutboxFile() {
    const uint32_t handle = Services().file_service;
    OpenMailFolder(Identity().GetKiteId(), OwnerKiteAccount, FolderOutBox);
    FioQueryInterface* listing = FileList(handle);
    if (listing == nullptr) {
        return;
    }
    // The listing is a snapshot and outlives the reads; deleting does not shift its names.
    for (int32_t index = 0; const char* name = listing->NameAt(index); ++index) {
        const std::string fileName = name;
        if (IsMessageFileName(fileName.c_str())) {
            SendMessageFile(fileName.c_str());
        }
        FileDelete(handle, fileName.c_str());
    }
}

void StoreMessage(uint32_t message) {
    const uint32_t id = SaveMessageToFolder(message);
    if (id == 0) {
        return;
    }
    const auto date = static_cast<uint32_t>(MailGetLong(message, atoms::mail::Date));
    // Each text is copied by AppendHeader before the next request can replace it.
    const std::string from = [&] {
        const char* text = MailGetText(message, atoms::mail::From);
        return std::string(text != nullptr ? text : "");
    }();
    AppendHeader(Services().header_list, from.c_str(), MailGetText(message, atoms::mail::Subject), date, id,
                 OwnerKiteAccount);
}

}  // namespace

void SetTransferProgress(TransferProgress* progress) {
    g_progress = progress;
}

void StartSendAndFetch() {
    const UserIdentity& identity = Identity();
    if (!IsEmpty(identity.GetKiteId())) {
        ShowNotice(atoms::dialogs::SendingMail, kSendingMailText);
        PostAction(atoms::ports::PM, atoms::actions::aWrenmailSendMail, kMailStepDelay);
        EmptyTrash(identity.GetKiteId(), OwnerKiteAccount);
    }
    if (!IsEmpty(identity.GetPlayerId())) {
        EmptyTrash(identity.GetPlayerId(), OwnerPlayer);
    }
}

void SendOutbox() {
    // Without a signed-in account nothing could be sent, so the outbox is left as it is rather
    // than emptied into a service that refuses everything.
    if (!IsEmpty(Identity().GetKiteId()) && Services().mail_manager != 0) {
        SendEachOutboxFile();
    }
    CloseNotice();
    PostAction(atoms::ports::PM, atoms::actions::aOnMailUploaded, kMailStepDelay);
}

void AnnounceFetch() {
    ShowNotice(atoms::dialogs::GettingMail, kGettingMailText);
    PostAction(atoms::ports::PM, atoms::actions::aWrenmailGetMail, kMailStepDelay);
}

void FetchNewMail() {
    if (const uint32_t manager = Services().mail_manager; manager != 0) {
        OpenMailFolder(Identity().GetKiteId(), OwnerKiteAccount, FolderInBox);
        // Each message is freed before the next is asked for.
        for (uint32_t handle = MailNextMessage(manager); handle != 0; handle = MailNextMessage(manager)) {
            const MailObject message(handle);
            StoreMessage(message.Get());
        }
    }
    CloseNotice();
    PostAction(atoms::ports::WrenmailMainPort, atoms::actions::aOnMailDownloaded, kMailStepDelay);
}

}  // namespace wm
