#include "store/message_file.h"

#include <cstdio>

#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "state/service_handles.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "clients/mail_requests.h"

WM_DEFINE_ATOM(store, MailID)

namespace wm {
namespace {

// The first id from `candidate` on whose file is free, stepping through 1..kMaxMessageId with a
// wrap; the first candidate itself is taken as it comes, even above the range. 0 when all are taken.
uint32_t FindFreeId(uint32_t candidate) {
    for (uint32_t tries = 0; tries < kMaxMessageId; ++tries) {
        if (!MessageFileExists(candidate)) {
            return candidate;
        }
        if (++candidate > kMaxMessageId) {
            candidate = 1;
        }
    }
    return 0;
}

void WriteMessageFile(uint32_t handle, uint32_t id, const char* text) {
    DictObject stored;
    stored.PutText(atoms::mail::Message, text);
    stored.PutLong(atoms::store::MailID, static_cast<int32_t>(id));
    char name[kMessageFileNameSize];
    FormatMessageFileName(name, id);
    FileCreateDict(handle, name);
    FileWriteDict(handle, name, &stored);
}

}  // namespace

void FormatMessageFileName(char (&buffer)[kMessageFileNameSize], uint32_t id) {
    // The name shows the id's 32 bits as a signed number, as the stored files always have.
    std::snprintf(buffer, sizeof buffer, "WN%d.wnl", static_cast<int32_t>(id));
}

bool MessageFileExists(uint32_t id) {
    char name[kMessageFileNameSize];
    FormatMessageFileName(name, id);
    return FileReadDict(Services().file_service, name) != nullptr;
}

uint32_t SaveMessageToFolder(uint32_t message) {
    const uint32_t handle = Services().file_service;
    if (handle == 0) {
        return 0;
    }
    const uint32_t id = FindFreeId(ReadLastId() + 1);
    if (id == 0) {
        return 0;
    }
    // The counter is written first: a crash before the message leaves it ahead of the files, which
    // the search for a free id tolerates.
    WriteLastId(id);
    WriteMessageFile(handle, id, MailGetText(message, atoms::mail::Data));
    return id;
}

const char* LoadMessageFile(const char* fileName, uint32_t* mailId) {
    DictInterface* stored = FileReadDict(Services().file_service, fileName);
    if (stored == nullptr) {
        return nullptr;
    }
    const auto* text = static_cast<const char*>(HxDeref(stored->GetText(atoms::mail::Message)));
    if (mailId != nullptr) {
        *mailId = static_cast<uint32_t>(stored->GetLong(atoms::store::MailID));
    }
    return text != nullptr ? text : "";
}

const char* LoadMessageById(uint32_t id, uint32_t* mailId) {
    char name[kMessageFileNameSize];
    FormatMessageFileName(name, id);
    return LoadMessageFile(name, mailId);
}

}  // namespace wm
