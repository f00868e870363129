// The dictionary object the file service answers a read with: the 20 operations of the shared
// dictionary interface over the entries of one dictionary file, in the file's order.
//
// One object serves every read on a file-service handle: each read replaces its contents. Text
// values live in slots whose storage is kept from one read to the next, so the same slot usually
// keeps its address and the process-wide reference table does not grow with every read. A text
// answered by GetText stays valid until the next Load, Clear, or a put or remove of that key.
#ifndef HARBOR_FILEIO_STORED_DICT_H
#define HARBOR_FILEIO_STORED_DICT_H

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "dict_object.h"
#include "fileio/dict_file_format.h"

namespace harbor {

class StoredDict final : public DictInterface {
public:
    StoredDict() = default;
    StoredDict(const StoredDict&) = delete;
    StoredDict& operator=(const StoredDict&) = delete;
    ~StoredDict() override = default;

    // Replaces the contents: keys and named Shorts take this run's atoms of their names. False
    // (and the object left empty) when the atom table cannot take another name.
    bool Load(const std::vector<DictFileEntry>& entries);

    bool HXCALL Clear() override;
    void HXCALL FreeChain() override {}  // no chain: the object is one piece
    bool HXCALL GetBool(uint16_t key) override;
    uint32_t HXCALL GetPointer(uint16_t key) override { return Raw(key); }
    int32_t HXCALL GetLong(uint16_t key) override { return static_cast<int32_t>(Raw(key)); }
    uint16_t HXCALL GetShort(uint16_t key) override { return static_cast<uint16_t>(Raw(key) & 0xFFFFu); }
    // Only a Text answers a text: any other value of a file (a damaged or hostile one) taken as a
    // text reference would name whatever the process's reference table holds under that number.
    uint32_t HXCALL GetText(uint16_t key) override;
    uint32_t HXCALL GetHandle(uint16_t key) override { return Raw(key); }
    bool HXCALL PutBool(uint16_t key, bool value) override;
    bool HXCALL PutPointer(uint16_t key, const void* address) override;
    bool HXCALL PutLong(uint16_t key, int32_t value) override;
    bool HXCALL PutShort(uint16_t key, uint16_t value) override;
    bool HXCALL PutText(uint16_t key, const char* text) override;
    bool HXCALL PutHandle(uint16_t key, uint32_t handle) override;
    int32_t HXCALL KeyCount() override { return static_cast<int32_t>(entries_.size()); }
    bool HXCALL HasKey(uint16_t key) override { return Find(key) != nullptr; }
    bool HXCALL Remove(uint16_t key) override;
    uint16_t HXCALL KeyAt(int32_t n, uint16_t* type) override;
    uint32_t HXCALL GetType9(uint16_t key) override { return Raw(key); }
    bool HXCALL PutType9(uint16_t key, uint32_t value) override;

private:
    static constexpr int32_t kNoText = -1;

    struct Entry {
        uint16_t key;
        uint16_t type;    // EDictValueType
        uint32_t value;   // every type but Text
        int32_t text;     // Text: the slot, or kNoText for a null text
    };

    Entry* Find(uint16_t key);
    // The 32-bit value as the record would hold it: a Text's is the reference of its characters.
    uint32_t Raw(uint16_t key);
    bool Put(uint16_t key, uint16_t type, uint32_t value, int32_t text = kNoText);
    int32_t TakeTextSlot(std::string_view text);
    void AssignText(int32_t slot, std::string_view text);
    bool LoadEntry(const DictFileEntry& e);

    std::vector<Entry> entries_;
    std::deque<std::string> texts_;  // a deque: slots never move when more are added
    std::size_t texts_used_ = 0;
};

}  // namespace harbor

#endif
