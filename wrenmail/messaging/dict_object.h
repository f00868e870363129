// A growable dictionary made of message records: the first record is embedded, further ones are
// allocated and linked from the one before under NEXT. The host's file service reads and writes
// dictionary files through the same interface.
#ifndef WRENMAIL_MESSAGING_DICT_OBJECT_H
#define WRENMAIL_MESSAGING_DICT_OBJECT_H

#include <cstdint>
#include <vector>

// The interface lives in the ABI headers; angle brackets keep this file from including itself.
#include <dict_object.h>
#include "edict.h"

namespace wm {

class DictObject final : public DictInterface {
public:
    // Entries a record takes before the chain grows; its NEXT link comes on top.
    static constexpr int32_t kEntriesPerRecord = 30;

    DictObject();
    // Starts from a copy of `record` (all 392 bytes); a null record starts empty.
    explicit DictObject(const EDict* record);
    DictObject(const DictObject&) = delete;
    DictObject& operator=(const DictObject&) = delete;
    ~DictObject() override;

    bool HXCALL Clear() override;
    void HXCALL FreeChain() override;
    bool HXCALL GetBool(uint16_t key) override;
    uint32_t HXCALL GetPointer(uint16_t key) override;
    int32_t HXCALL GetLong(uint16_t key) override;
    uint16_t HXCALL GetShort(uint16_t key) override;
    uint32_t HXCALL GetText(uint16_t key) override;
    uint32_t HXCALL GetHandle(uint16_t key) override;
    bool HXCALL PutBool(uint16_t key, bool value) override;
    bool HXCALL PutPointer(uint16_t key, const void* address) override;
    bool HXCALL PutLong(uint16_t key, int32_t value) override;
    bool HXCALL PutShort(uint16_t key, uint16_t value) override;
    bool HXCALL PutText(uint16_t key, const char* text) override;
    bool HXCALL PutHandle(uint16_t key, uint32_t handle) override;
    int32_t HXCALL KeyCount() override;
    bool HXCALL HasKey(uint16_t key) override;
    bool HXCALL Remove(uint16_t key) override;
    uint16_t HXCALL KeyAt(int32_t n, uint16_t* type) override;
    uint32_t HXCALL GetType9(uint16_t key) override;
    bool HXCALL PutType9(uint16_t key, uint32_t value) override;

    // Not one of the interface's operations (it has no float put): for copies that keep a Float.
    bool PutFloat(uint16_t key, float value);

    EDict* FirstRecord() { return &first_; }
    bool Copied() const { return copied_; }
    // Records in the chain, the first one included.
    int32_t RecordCount() const;

private:
    // A record this object allocated, with the reference its NEXT link carries.
    struct Link {
        EDict* record;
        uint32_t reference;
    };

    // The record after the one at chain position `position` (0 is the first record); null at the
    // end of the chain.
    EDict* Successor(std::size_t position) const;
    const EDict* At(std::size_t position) const;
    EDict* Holder(uint16_t key);
    // The record holding the key, else the first with room for it; grows the chain when every
    // record is full.
    EDict* RecordForKey(uint16_t key);
    // Links a new record after `last`, the record at chain position `position`.
    EDict* Grow(EDict* last, std::size_t position);
    int32_t EntriesIn(const EDict* record) const;
    // Frees the allocated records from links_[index] on, last first.
    void FreeLinksFrom(std::size_t index);

    template <typename Put>
    bool PutWith(uint16_t key, Put put);

    EDict first_;
    bool copied_ = false;
    std::vector<Link> links_;
};

}  // namespace wm

#endif
