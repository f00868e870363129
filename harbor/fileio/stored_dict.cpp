#include "fileio/stored_dict.h"

#include "edict.h"
#include "hxmsg.h"

namespace harbor {

namespace {

// A slot that once held a big text gives its memory back when a much smaller one moves in.
constexpr std::size_t kShrinkAbove = std::size_t{1} << 20;

uint16_t AtomOfName(std::string_view name) {
    const std::string z(name);
    const uint32_t atom = DaNameGet(z.c_str());
    return atom <= 0xFFFFu ? static_cast<uint16_t>(atom) : 0;
}

}  // namespace

bool StoredDict::Load(const std::vector<DictFileEntry>& entries) {
    Clear();
    entries_.reserve(entries.size());
    for (const DictFileEntry& e : entries) {
        if (!LoadEntry(e)) {
            Clear();
            return false;
        }
    }
    return true;
}

bool StoredDict::LoadEntry(const DictFileEntry& e) {
    const uint16_t key = AtomOfName(e.key);
    if (key == 0) return false;
    switch (e.kind) {
        case StoredKind::Text:
            entries_.push_back({key, EDictText, 0, TakeTextSlot(e.text)});
            return true;
        case StoredKind::NamedShort: {
            const uint16_t atom = AtomOfName(e.text);
            if (atom == 0) return false;
            entries_.push_back({key, EDictShort, atom, kNoText});
            return true;
        }
        default:
            entries_.push_back({key, static_cast<uint16_t>(e.kind), e.value, kNoText});
            return true;
    }
}

int32_t StoredDict::TakeTextSlot(std::string_view text) {
    if (texts_used_ == texts_.size()) texts_.emplace_back();
    const auto slot = static_cast<int32_t>(texts_used_++);
    AssignText(slot, text);
    return slot;
}

// The new text is copied before the old storage goes: it may be a view into that very slot.
void StoredDict::AssignText(int32_t slot, std::string_view text) {
    std::string& stored = texts_[static_cast<std::size_t>(slot)];
    if (stored.capacity() > kShrinkAbove && text.size() < stored.capacity() / 4) {
        std::string fresh(text);
        stored.swap(fresh);
    } else {
        stored.assign(text);
    }
}

bool StoredDict::Clear() {
    entries_.clear();
    texts_used_ = 0;
    return true;
}

StoredDict::Entry* StoredDict::Find(uint16_t key) {
    if (key == 0) return nullptr;
    for (Entry& e : entries_) {
        if (e.key == key) return &e;
    }
    return nullptr;
}

uint32_t StoredDict::Raw(uint16_t key) {
    const Entry* e = Find(key);
    if (e == nullptr) return 0;
    if (e->type != EDictText) return e->value;
    return e->text == kNoText ? 0 : HxRef(texts_[static_cast<std::size_t>(e->text)].c_str());
}

bool StoredDict::GetBool(uint16_t key) { return static_cast<int32_t>(Raw(key)) > 0; }

uint32_t StoredDict::GetText(uint16_t key) {
    const Entry* e = Find(key);
    return e != nullptr && e->type == EDictText ? Raw(key) : 0;
}

bool StoredDict::Put(uint16_t key, uint16_t type, uint32_t value, int32_t text) {
    if (key == 0) return false;
    if (Entry* e = Find(key)) {
        *e = Entry{key, type, value, text};
        return true;
    }
    entries_.push_back({key, type, value, text});
    return true;
}

bool StoredDict::PutBool(uint16_t key, bool value) { return Put(key, EDictLong, value ? 1u : 0u); }

bool StoredDict::PutPointer(uint16_t key, const void* address) { return Put(key, EDictPointer, HxRef(address)); }

bool StoredDict::PutLong(uint16_t key, int32_t value) { return Put(key, EDictLong, static_cast<uint32_t>(value)); }

bool StoredDict::PutShort(uint16_t key, uint16_t value) { return Put(key, EDictShort, value); }

// The text is copied: the caller's buffer may go away right after the call.
bool StoredDict::PutText(uint16_t key, const char* text) {
    if (key == 0) return false;
    Entry* e = Find(key);
    if (e != nullptr && e->type == EDictText && e->text != kNoText && text != nullptr) {
        AssignText(e->text, text);  // the field changes: its slot may be reused
        return true;
    }
    return Put(key, EDictText, 0, text != nullptr ? TakeTextSlot(text) : kNoText);
}

bool StoredDict::PutHandle(uint16_t key, uint32_t handle) { return Put(key, EDictHandle, handle); }

bool StoredDict::PutType9(uint16_t key, uint32_t value) { return Put(key, EDictType9, value); }

bool StoredDict::Remove(uint16_t key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key && key != 0) {
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

uint16_t StoredDict::KeyAt(int32_t n, uint16_t* type) {
    if (n < 0 || static_cast<std::size_t>(n) >= entries_.size()) return 0;
    const Entry& e = entries_[static_cast<std::size_t>(n)];
    if (type != nullptr) *type = e.type;
    return e.key;
}

}  // namespace harbor
