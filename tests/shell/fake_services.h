// Test support: the two host services the read and address book screens read from. A mail
// service holding one message's texts (no parts), and a file service holding only the kite
// account's address book, which also keeps what the module writes back.
#ifndef WRENMAIL_TESTS_SHELL_FAKE_SERVICES_H
#define WRENMAIL_TESTS_SHELL_FAKE_SERVICES_H

#include <map>
#include <string>

#include "edict.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "store/address_book.h"

class FakeServices {
public:
    static constexpr uint32_t kMessage = 41;

    // After the module started: the file service handle is the fake's.
    void Install() {
        instance_ = this;
        HxPortAttach(atoms::mail::MailPort, &FakeServices::OnMail);
        HxPortAttach(atoms::files::FileIOPort, &FakeServices::OnFiles);
        wm::Services().fileService = 7;
    }
    ~FakeServices() { instance_ = nullptr; }

    void Name(const char* name, const char* kiteId) { book.PutShort(wm::FetchAtom(name), wm::FetchAtom(kiteId)); }

    std::map<uint16_t, std::string> texts;  // the message's texts by key: From, To, Subject, Body
    wm::DictObject book;                    // the stored book
    int bookWrites = 0;

private:
    static bool HXCALL OnMail(EDict* record) {
        if (EDictGetType(record) != code::kGet) {
            return true;
        }
        for (const auto& [key, text] : instance_->texts) {
            if (EDictHasKey(record, key)) EDictPutText(record, key, text.c_str());
        }
        return true;
    }
    static bool HXCALL OnFiles(EDict* record) {
        const char* file = EDictGetText(record, atoms::files::FILENAME);
        if (file == nullptr || std::string(file) != wm::kAddressBookFile) {
            return true;
        }
        if (EDictGetType(record) == code::kStart) {
            EDictPutHandle(record, atoms::files::DICT, HxRef(static_cast<DictInterface*>(&instance_->book)));
        } else if (EDictGetType(record) == code::kWriteDict && EDictGetLong(record, atoms::files::CREATE) == 0) {
            auto* written = static_cast<DictInterface*>(HxDeref(static_cast<uint32_t>(EDictGetLong(record, atoms::files::DICT))));
            instance_->book.Clear();
            wm::CopyBookEntries(*written, instance_->book);
            ++instance_->bookWrites;
        }
        return true;
    }
    static inline FakeServices* instance_ = nullptr;
};

#endif
