// The live message and part objects of the mail service behind 32-bit handles. A handle is a
// number of this table, never an address; 0 is none and a freed handle is never given out again
// in this run, so a stale handle is "not there" rather than someone else's object.
//
// A part handed out by Part() or added with AddPart() belongs to its message: freeing the message
// frees those handles too (the module does not free parts). Texts answered stay valid until the
// object is freed or that property's value changes.
#ifndef HARBOR_MAIL_MIME_OBJECTS_H
#define HARBOR_MAIL_MIME_OBJECTS_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mail/mime_message.h"

namespace harbor {

enum class MailProperty { To, From, Subject, Date, Body, ContentType, Data, Parts };

// The property named by a key ("To", "Body", ...), if any.
std::optional<MailProperty> MailPropertyNamed(std::string_view name);
bool IsLongProperty(MailProperty property);  // Date, Parts

class MimeObjectTable {
public:
    // `domain`: addresses in it are shown as bare IDs and bare IDs are placed in it.
    explicit MimeObjectTable(std::string domain);

    uint32_t NewMessage();
    uint32_t NewMessage(std::string_view data);
    uint32_t NewPart();
    // False when either handle is not there or the part cannot go into that object.
    bool AddPart(uint32_t message, uint32_t part);
    // Frees the object and the parts that belong to it; false when not there.
    bool Free(uint32_t handle);

    bool Has(uint32_t handle) const { return entries_.count(handle) != 0; }
    bool IsMessage(uint32_t handle) const;
    std::size_t Live() const { return entries_.size(); }

    // Null when the handle is not there or the property is not a text.
    const char* Text(uint32_t handle, MailProperty property);
    std::optional<int32_t> Long(uint32_t handle, MailProperty property);
    // False when not there, or the property cannot be set on that object.
    bool SetText(uint32_t handle, MailProperty property, std::string_view text);
    bool SetLong(uint32_t handle, MailProperty property, int32_t value);
    // The part at the index (the same handle each time for the same part); 0 when none.
    uint32_t Part(uint32_t handle, int32_t index);

    // The object itself, for the service's own use (sending); null when not there.
    GMimeObject* Object(uint32_t handle) const;
    const std::string& Domain() const { return domain_; }

private:
    struct Entry {
        mime::Ref<GMimeObject> object;
        uint32_t owner = 0;              // the message or part this part belongs to
        std::vector<uint32_t> parts;     // handles that belong to this object
        std::map<MailProperty, std::string> texts;
    };

    uint32_t Insert(mime::Ref<GMimeObject> object, uint32_t owner);
    std::string Compute(GMimeObject* object, MailProperty property) const;
    void Adopt(uint32_t owner, uint32_t part);

    std::string domain_;
    std::unordered_map<uint32_t, Entry> entries_;
    uint32_t next_ = 1;
};

}  // namespace harbor

#endif
