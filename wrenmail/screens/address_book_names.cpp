#include "screens/address_book_names.h"

#include <strings.h>

#include "edict.h"
#include "hxmsg.h"
#include "shell/service_handles.h"
#include "store/file_requests.h"
#include "store/mail_folder.h"

namespace wm {

void AddressBookNames::Load(const char* kiteId) {
    entries_.clear();
    if (kiteId == nullptr || kiteId[0] == '\0' || Services().fileService == 0) {
        return;
    }
    OpenMailFolder(kiteId, OwnerKiteAccount, FolderOwner);
    DictInterface* book = FileReadDict(Services().fileService, kAddressBookFile);
    if (book == nullptr) {
        return;
    }
    // Only name-to-atom entries are addresses; anything else in the file is carried, not read.
    for (int32_t n = 0; n < book->KeyCount(); ++n) {
        uint16_t type = 0;
        const uint16_t key = book->KeyAt(n, &type);
        if (type != EDictShort) {
            continue;
        }
        const char* name = DaNameGetString(key);
        const char* address = DaNameGetString(book->GetShort(key));
        if (name != nullptr && address != nullptr) {
            Add(name, address);
        }
    }
}

void AddressBookNames::Add(std::string name, std::string address) {
    entries_.push_back(Entry{std::move(name), std::move(address)});
}

const char* AddressBookNames::NameFor(const char* address) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (strcasecmp(entry->address.c_str(), address) == 0) {
            return entry->name.c_str();
        }
    }
    return nullptr;
}

}  // namespace wm
