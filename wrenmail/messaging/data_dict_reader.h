// Reads a data dictionary of the host (a loaded .dct resource or a dictionary sprite of a scene)
// in place, through the value tree that PSGet answers for the resource's name.
#ifndef WRENMAIL_MESSAGING_DATA_DICT_READER_H
#define WRENMAIL_MESSAGING_DATA_DICT_READER_H

#include <cstdint>

#include "host_value.h"

namespace wm {

class DataDictReader {
public:
    // Index value of the lookups that read the top dictionary rather than a form.
    static constexpr int32_t kPlain = -1;

    DataDictReader() = default;
    DataDictReader(const DataDictReader&) = delete;
    DataDictReader& operator=(const DataDictReader&) = delete;

    virtual uint16_t Name() const;
    virtual void SetName(const char* name);
    virtual void SetNameAtom(uint16_t atom);
    // Always releases the resource, also when it was never bound.
    virtual ~DataDictReader();

    // Loads a dictionary file as a host resource and binds to it.
    bool Open(const char* fileName);
    // Binds to the resource whose name is set.
    bool Bind();
    void Close();

    const HostValue* Data() const { return data_; }

    // The key's value: plain with index kPlain, else its field in form number `index`, which
    // also becomes the dictionary's INDEX.
    int32_t GetLong(uint16_t key, int32_t index);
    uint16_t GetShort(uint16_t key, int32_t index);
    const char* GetText(uint16_t key, int32_t index); // "" when there is none
    // Element of the key's array value, when it is an integer; 0 otherwise.
    int32_t GetElementInt(uint16_t key, int32_t element) const;

    // Number of forms in the bound dictionary.
    int32_t FormsCount() const { return FormsCountOf(data_); }
    static int32_t FormsCountOf(const HostValue* dictionary);

private:
    const HostValue* Lookup(uint16_t key, int32_t index);

    uint16_t name_ = 0;
    const HostValue* data_ = nullptr;
};

}  // namespace wm

#endif
