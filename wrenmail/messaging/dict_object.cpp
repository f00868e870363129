#include "messaging/dict_object.h"

#include <cstring>
#include <new>

#include "hxmsg.h"
#include "messaging/name_atoms.h"

// A record copied from elsewhere may carry a NEXT that points anywhere, and a caller may put or
// remove NEXT like any key. So NEXT counts as a link only when it carries the reference of the
// very record this object allocated for that place in the chain; any other NEXT ends the chain.
// Records cut off that way stay owned here and are freed with the chain.

namespace wm {

DictObject::DictObject() {
    EDictClear(&first_);
}

DictObject::DictObject(const EDict* record) {
    if (record == nullptr) {
        EDictClear(&first_);
        return;
    }
    std::memcpy(&first_, record, sizeof(EDict));
    copied_ = true;
}

DictObject::~DictObject() {
    FreeLinksFrom(0);
}

const EDict* DictObject::At(std::size_t position) const {
    return position == 0 ? &first_ : links_[position - 1].record;
}

EDict* DictObject::Successor(std::size_t position) const {
    // References are never 0, so an absent NEXT (read as 0) matches no link.
    if (position >= links_.size() ||
        static_cast<uint32_t>(EDictGetLong(At(position), atoms::NEXT)) != links_[position].reference) {
        return nullptr;
    }
    return links_[position].record;
}

int32_t DictObject::RecordCount() const {
    std::size_t position = 0;
    while (Successor(position) != nullptr) {
        ++position;
    }
    return static_cast<int32_t>(position + 1);
}

EDict* DictObject::Holder(uint16_t key) {
    EDict* record = &first_;
    for (std::size_t position = 0; record != nullptr; record = Successor(position++)) {
        if (EDictHasKey(record, key)) {
            return record;
        }
    }
    return nullptr;
}

EDict* DictObject::RecordForKey(uint16_t key) {
    EDict* roomy = nullptr;
    EDict* record = &first_;
    std::size_t position = 0;
    for (;;) {
        if (EDictHasKey(record, key)) {
            return record;
        }
        if (roomy == nullptr && EDictKeyCount(record) < kEntriesPerRecord) {
            roomy = record;
        }
        EDict* next = Successor(position);
        if (next == nullptr) {
            break;
        }
        record = next;
        ++position;
    }
    return roomy != nullptr ? roomy : Grow(record, position);
}

EDict* DictObject::Grow(EDict* last, std::size_t position) {
    // Whatever was allocated past the end of the chain is no longer reachable.
    FreeLinksFrom(position);
    auto* fresh = new (std::nothrow) EDict;
    if (fresh == nullptr) {
        return nullptr;
    }
    EDictClear(fresh);
    if (!EDictPutPointer(last, atoms::NEXT, fresh)) {
        delete fresh;
        return nullptr;
    }
    links_.push_back(Link{fresh, HxRef(fresh)});
    return fresh;
}

int32_t DictObject::EntriesIn(const EDict* record) const {
    return EDictKeyCount(record) - (EDictHasKey(record, atoms::NEXT) ? 1 : 0);
}

void DictObject::FreeLinksFrom(std::size_t index) {
    while (links_.size() > index) {
        delete links_.back().record;
        links_.pop_back();
    }
}

template <typename Put>
bool DictObject::PutWith(uint16_t key, Put put) {
    EDict* record = RecordForKey(key);
    return record != nullptr && put(record);
}

bool HXCALL DictObject::Clear() {
    EDictClear(&first_);
    FreeLinksFrom(0);
    return true;
}

void HXCALL DictObject::FreeChain() {
    FreeLinksFrom(0);
    EDictRemove(&first_, atoms::NEXT);
}

bool HXCALL DictObject::GetBool(uint16_t key) {
    const EDict* record = Holder(key);
    return record != nullptr && EDictGetBool(record, key);
}

uint32_t HXCALL DictObject::GetPointer(uint16_t key) {
    return GetHandle(key);
}

int32_t HXCALL DictObject::GetLong(uint16_t key) {
    const EDict* record = Holder(key);
    return record != nullptr ? EDictGetLong(record, key) : 0;
}

uint16_t HXCALL DictObject::GetShort(uint16_t key) {
    const EDict* record = Holder(key);
    return record != nullptr ? EDictGetShort(record, key) : 0;
}

uint32_t HXCALL DictObject::GetText(uint16_t key) {
    return GetHandle(key);
}

uint32_t HXCALL DictObject::GetHandle(uint16_t key) {
    return static_cast<uint32_t>(GetLong(key));
}

bool HXCALL DictObject::PutBool(uint16_t key, bool value) {
    return PutWith(key, [&](EDict* record) { return EDictPutBool(record, key, value); });
}

bool DictObject::PutFloat(uint16_t key, float value) {
    return PutWith(key, [&](EDict* record) { return EDictPutFloat(record, key, value); });
}

bool HXCALL DictObject::PutPointer(uint16_t key, const void* address) {
    return PutWith(key, [&](EDict* record) { return EDictPutPointer(record, key, address); });
}

bool HXCALL DictObject::PutLong(uint16_t key, int32_t value) {
    return PutWith(key, [&](EDict* record) { return EDictPutLong(record, key, value); });
}

bool HXCALL DictObject::PutShort(uint16_t key, uint16_t value) {
    return PutWith(key, [&](EDict* record) { return EDictPutShort(record, key, value); });
}

bool HXCALL DictObject::PutText(uint16_t key, const char* text) {
    return PutWith(key, [&](EDict* record) { return EDictPutText(record, key, text); });
}

bool HXCALL DictObject::PutHandle(uint16_t key, uint32_t handle) {
    return PutWith(key, [&](EDict* record) { return EDictPutHandle(record, key, handle); });
}

int32_t HXCALL DictObject::KeyCount() {
    int32_t count = 0;
    const EDict* record = &first_;
    for (std::size_t position = 0; record != nullptr; record = Successor(position++)) {
        count += EntriesIn(record);
    }
    return count;
}

bool HXCALL DictObject::HasKey(uint16_t key) {
    return Holder(key) != nullptr;
}

bool HXCALL DictObject::Remove(uint16_t key) {
    EDict* record = Holder(key);
    return record != nullptr && EDictRemove(record, key);
}

uint16_t HXCALL DictObject::KeyAt(int32_t n, uint16_t* type) {
    if (n < 0) {
        return 0;
    }
    const EDict* record = &first_;
    for (std::size_t position = 0; record != nullptr; record = Successor(position++)) {
        const int32_t used = EDictKeyCount(record);
        for (int32_t slot = 0; slot < used; ++slot) {
            uint16_t slotType = 0;
            const uint16_t key = EDictKeyAt(record, slot, &slotType);
            if (key == atoms::NEXT) {
                continue;
            }
            if (n-- == 0) {
                if (type != nullptr) {
                    *type = slotType;
                }
                return key;
            }
        }
    }
    return 0;
}

uint32_t HXCALL DictObject::GetType9(uint16_t key) {
    return GetHandle(key);
}

bool HXCALL DictObject::PutType9(uint16_t key, uint32_t value) {
    return PutWith(key, [&](EDict* record) { return EDictPutType9(record, key, value); });
}

}  // namespace wm
