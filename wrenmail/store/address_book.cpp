#include "store/address_book.h"

#include <strings.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "edict.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "state/service_handles.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"

namespace wm {
namespace {

bool HasBook(const char* kiteId) {
    return kiteId != nullptr && kiteId[0] != '\0' && Services().file_service != 0;
}

void CopyText(char* out, std::size_t size, const char* text, std::size_t length) {
    if (size == 0) {
        return;
    }
    const std::size_t n = std::min(length, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

bool SameText(uint16_t atom, const char* text) {
    const char* atomText = DaNameGetString(atom);
    return atomText != nullptr && strcasecmp(atomText, text) == 0;
}

// Copies one entry whatever its kind, so that entries the book does not use survive a save.
void CopyEntry(DictInterface& from, DictInterface& to, uint16_t key, uint16_t type) {
    switch (type) {
        case EDictShort:
            to.PutShort(key, from.GetShort(key));
            break;
        case EDictText: {
            const char* text = static_cast<const char*>(HxDeref(from.GetText(key)));
            to.PutText(key, text != nullptr ? text : "");
            break;
        }
        case EDictPointer:
            to.PutPointer(key, HxDeref(from.GetPointer(key)));
            break;
        case EDictHandle:
            to.PutHandle(key, from.GetHandle(key));
            break;
        case EDictType9:
            to.PutType9(key, from.GetType9(key));
            break;
        case EDictFloat:
            // The 32-bit get gives a Float's bits unchanged; only the module's own object can
            // store them back as a Float.
            if (auto* object = dynamic_cast<DictObject*>(&to)) {
                object->PutFloat(key, std::bit_cast<float>(from.GetLong(key)));
            } else {
                to.PutLong(key, from.GetLong(key));
            }
            break;
        default:
            // Longs, and any other 32-bit value by its bits.
            to.PutLong(key, from.GetLong(key));
            break;
    }
}

// Walks the Short entries from the last to the first; `match` picks the atom compared and
// `result` the atom given back.
template <typename Match>
uint16_t WalkBack(DictInterface& book, const char* text, Match match) {
    if (text == nullptr) {
        return 0;
    }
    for (int32_t n = book.KeyCount() - 1; n >= 0; --n) {
        uint16_t type = 0;
        const uint16_t key = book.KeyAt(n, &type);
        if (type != EDictShort || key == 0) {
            continue;
        }
        const uint16_t value = book.GetShort(key);
        if (const uint16_t found = match(key, value, text)) {
            return found;
        }
    }
    return 0;
}

// The file service's dictionary of the stored book, valid until its next read; a missing file is
// created empty. The lookups walk it in place: a copy would find the same entries.
DictInterface* ReadStoredBook(const char* kiteId) {
    if (!HasBook(kiteId)) {
        return nullptr;
    }
    OpenMailFolder(kiteId, OwnerKiteAccount, FolderOwner);
    DictInterface* stored = FileReadDict(Services().file_service, kAddressBookFile);
    if (stored == nullptr) {
        FileCreateDict(Services().file_service, kAddressBookFile);
    }
    return stored;
}

}  // namespace

void NormaliseSender(const char* from, char* out, std::size_t size) {
    const char* open = std::strchr(from, '<');
    const char* close = open != nullptr ? std::strchr(open + 1, '>') : nullptr;
    if (close != nullptr) {
        CopyText(out, size, open + 1, std::min(static_cast<std::size_t>(close - open - 1), kShownAddressLength));
    } else {
        CopyText(out, size, from, std::min(std::strlen(from), kShownAddressLength));
    }
}

void CopyBookEntries(DictInterface& from, DictInterface& to) {
    const int32_t count = from.KeyCount();
    for (int32_t n = 0; n < count; ++n) {
        uint16_t type = 0;
        const uint16_t key = from.KeyAt(n, &type);
        if (key != 0) {
            CopyEntry(from, to, key, type);
        }
    }
}

void LoadAddressBook(const char* kiteId, DictInterface& book) {
    if (DictInterface* stored = ReadStoredBook(kiteId)) {
        CopyBookEntries(*stored, book);
    }
}

void SaveAddressBook(const char* kiteId, DictInterface& book) {
    if (!HasBook(kiteId)) {
        return;
    }
    OpenMailFolder(kiteId, OwnerKiteAccount, FolderOwner);
    FileCreateDict(Services().file_service, kAddressBookFile);
    FileWriteDict(Services().file_service, kAddressBookFile, &book);
}

uint16_t FindNameFor(DictInterface& book, const char* address) {
    return WalkBack(book, address, [](uint16_t key, uint16_t value, const char* text) -> uint16_t {
        return SameText(value, text) ? key : 0;
    });
}

uint16_t FindAddressFor(DictInterface& book, const char* name) {
    return WalkBack(book, name, [](uint16_t key, uint16_t value, const char* text) -> uint16_t {
        return SameText(key, text) ? value : 0;
    });
}

uint16_t NameForAddress(const char* kiteId, const char* address) {
    DictInterface* stored = ReadStoredBook(kiteId);
    return stored != nullptr ? FindNameFor(*stored, address) : 0;
}

uint16_t AddressForName(const char* kiteId, const char* name) {
    DictInterface* stored = ReadStoredBook(kiteId);
    return stored != nullptr ? FindAddressFor(*stored, name) : 0;
}

void ShownAddress(const char* kiteId, const char* address, char* out, std::size_t size) {
    NormaliseSender(address, out, size);
    const uint16_t atom = NameForAddress(kiteId, out);
    if (const char* name = atom != 0 ? DaNameGetString(atom) : nullptr) {
        CopyText(out, size, name, std::strlen(name));
    }
}

std::vector<AddressBookName> SortedNames(DictInterface& book) {
    std::vector<AddressBookName> names;
    for (int32_t n = book.KeyCount() - 1; n >= 0; --n) {
        uint16_t type = 0;
        const uint16_t key = book.KeyAt(n, &type);
        if (type != EDictShort || key == 0) {
            continue;
        }
        AddressBookName name{};
        const char* text = DaNameGetString(key);
        if (text != nullptr) {
            CopyText(name.text, sizeof name.text, text, std::strlen(text));
        }
        name.atom = key;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const AddressBookName& a, const AddressBookName& b) {
        return strcasecmp(a.text, b.text) < 0;
    });
    return names;
}

std::vector<AddressBookName> SortedBookNames(const char* kiteId) {
    DictInterface* stored = ReadStoredBook(kiteId);
    return stored != nullptr ? SortedNames(*stored) : std::vector<AddressBookName>{};
}

const char* StoredBookNames::NameFor(const char* address) const {
    const uint16_t atom = NameForAddress(kite_id_.c_str(), address);
    return atom != 0 ? DaNameGetString(atom) : nullptr;
}

}  // namespace wm
