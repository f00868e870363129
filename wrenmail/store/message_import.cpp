#include "store/message_import.h"

#include <cstdio>
#include <string>
#include <vector>

#include "messaging/data_dict_reader.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "store/mail_name.h"
#include "store/message_file.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"

WM_DECLARE_ATOM(import_keys, FROM)
WM_DECLARE_ATOM(import_keys, TO)
WM_DECLARE_ATOM(import_keys, SUBJECT)
WM_DECLARE_ATOM(import_keys, MAILTYPE)
WM_DEFINE_ATOM(import_keys, FROM)
WM_DEFINE_ATOM(import_keys, TO)
WM_DEFINE_ATOM(import_keys, SUBJECT)
WM_DEFINE_ATOM(import_keys, MAILTYPE)

namespace wm {
namespace {

// Header texts are kept to 127 characters and the type to 63; longer ones are cut.
template <std::size_t N>
void CopyCut(char (&buffer)[N], const char* text) {
    std::snprintf(buffer, N, "%s", text != nullptr ? text : "");
}

struct ImportTexts {
    char from[128];
    char to[128];
    char subject[128];
    char mailType[64];
    int32_t date;
    const char* message;  // the reader's own, valid while it stays open
};

ImportTexts ReadImport(DataDictReader& reader) {
    namespace keys = atoms::import_keys;
    ImportTexts texts{};
    CopyCut(texts.from, reader.GetText(keys::FROM, DataDictReader::kPlain));
    CopyCut(texts.to, reader.GetText(keys::TO, DataDictReader::kPlain));
    CopyCut(texts.subject, reader.GetText(keys::SUBJECT, DataDictReader::kPlain));
    CopyCut(texts.mailType, reader.GetText(keys::MAILTYPE, DataDictReader::kPlain));
    texts.date = reader.GetLong(atoms::DATE, DataDictReader::kPlain);
    texts.message = reader.GetText(atoms::MESSAGE, DataDictReader::kPlain);
    return texts;
}

// The part, once added, belongs to the message: freeing the message frees it.
MailObject BuildMessage(const ImportTexts& texts) {
    MailObject message(MailNewMessage(nullptr));
    const uint32_t part = MailNewPart();
    MailSetText(message.Get(), atoms::mail::To, texts.to);
    MailSetText(message.Get(), atoms::mail::From, texts.from);
    MailSetText(message.Get(), atoms::mail::Subject, texts.subject);
    MailSetLong(message.Get(), atoms::mail::Date, texts.date);
    MailSetText(message.Get(), atoms::mail::Body, texts.message);
    MailSetText(part, atoms::mail::ContentType, texts.mailType);
    MailSetText(part, atoms::mail::Body, texts.message);
    MailAddPart(message.Get(), part);
    return message;
}

void EnterImportFolder(uint32_t handle, bool create) {
    FileChangeDirectory(handle, nullptr, true);
    if (create) {
        FileCreateDirectory(handle, kImportFolder);
    }
    FileChangeDirectory(handle, kImportFolder, false);
}

// The listing is copied: importing reads and lists other folders through the same handle.
std::vector<std::string> ImportFileNames(uint32_t handle) {
    std::vector<std::string> names;
    if (FioQueryInterface* listing = FileList(handle)) {
        for (int32_t index = 0; const char* name = listing->NameAt(index); ++index) {
            names.emplace_back(name);
        }
    }
    return names;
}

}  // namespace

void ImportWaitingMessages() {
    const uint32_t handle = Services().file_service;
    if (handle == 0) {
        return;
    }
    EnterImportFolder(handle, true);
    for (const std::string& name : ImportFileNames(handle)) {
        ImportMessageFile(name.c_str());
        EnterImportFolder(handle, false);
        FileDelete(handle, name.c_str());
    }
}

bool ImportMessageFile(const char* fileName) {
    DataDictReader reader;
    if (!reader.Open(fileName)) {
        return false;
    }
    const ImportTexts texts = ReadImport(reader);
    // Without a player there is no InBox to store into; the file is dropped like an unreadable one.
    if (texts.to[0] == '\0' || !IsValidMailName(texts.to)) {
        return false;
    }
    const MailObject message = BuildMessage(texts);
    OpenMailFolder(texts.to, OwnerPlayer, FolderInBox);
    SaveMessageToFolder(message.Get());
    return true;
}

}  // namespace wm
