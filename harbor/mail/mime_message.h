// The message and part objects of the mail service as GMime objects, and the properties the
// module reads and writes on them. Texts are UTF-8 with LF line ends; a message serialises to its
// whole RFC 5322 text (LF; transmission converts to CRLF).
//
// A message's own "Body" is its single text part when it has no parts. Once parts are added the
// message becomes multipart/mixed and its own body moves to the multipart's prologue (marked by
// the header X-Wrenmail-Body, so that a received message's boilerplate prologue is not taken for
// a body); without the mark the body is the first text/plain part found depth first.
#ifndef HARBOR_MAIL_MIME_MESSAGE_H
#define HARBOR_MAIL_MIME_MESSAGE_H

#include <gmime/gmime.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harbor::mime {

// Once per process; GMime keeps its global tables until exit.
void EnsureInitialised();

// An owned reference to a GObject.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* adopted) : p_(adopted) {}
    Ref(const Ref& other) : p_(other.p_) {
        if (p_ != nullptr) g_object_ref(p_);
    }
    Ref& operator=(Ref other) {
        std::swap(p_, other.p_);
        return *this;
    }
    ~Ref() {
        if (p_ != nullptr) g_object_unref(p_);
    }
    static Ref Share(T* borrowed) {
        if (borrowed != nullptr) g_object_ref(borrowed);
        return Ref(borrowed);
    }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// CRLF becomes LF; lone CRs stay.
std::string ToLf(std::string_view text);

// A new message with only a MIME-Version header: no Date or Message-ID until set.
Ref<GMimeMessage> NewMessage();
// Never null: text that GMime cannot read as a message gives a message whose body is the text.
Ref<GMimeMessage> MessageFromText(std::string_view text);
// A new, empty text/plain part.
Ref<GMimeObject> NewPart();
// The whole text of a message or part.
std::string Serialise(GMimeObject* object);

// The body of a message or part (see above for a message's own body).
std::string Body(GMimeObject* object);
void SetBody(GMimeObject* object, std::string_view text);

// "type/subtype" without parameters; "" for a message without content.
std::string ContentType(GMimeObject* object);
// False (nothing changed) when the type cannot apply: a leaf cannot become multipart and back.
bool SetContentType(GMimeObject* object, std::string_view type);

// Addresses for display: those in `domain` as bare IDs, others as they are, ", " between; a
// mailbox without an address by its name. One clean line (display_text.h).
std::string Addresses(GMimeMessage* message, GMimeAddressType type, std::string_view domain);
// Bare IDs in the text are placed in `domain`.
void SetAddresses(GMimeMessage* message, GMimeAddressType type, std::string_view text, std::string_view domain);
// Every address of To, Cc and Bcc as its bare mailbox address, for delivery.
std::vector<std::string> Recipients(GMimeMessage* message);

// For display: unfolded, decoded and one clean line (display_text.h).
std::string Subject(GMimeMessage* message);
void SetSubject(GMimeMessage* message, std::string_view text);
// Seconds since 1970 UTC; 0 without a date, dates outside 32 bits are clamped.
uint32_t Date(GMimeMessage* message);
void SetDate(GMimeMessage* message, uint32_t seconds);

// The parts of a message (the children of its multipart) or of a multipart part; 0 for a leaf.
int PartCount(GMimeObject* object);
GMimeObject* PartAt(GMimeObject* object, int index);  // borrowed; null out of range
// False when `object` cannot hold parts (a leaf part), or the part is a message, is already in
// `object` or holds it.
bool AddPart(GMimeObject* object, GMimeObject* part);

}  // namespace harbor::mime

#endif
