#include "mail/mime_message.h"

#include <algorithm>
#include <mutex>

#include "mail/display_text.h"

namespace harbor::mime {

namespace {

constexpr const char* kBodyMark = "X-Wrenmail-Body";

// g_free for the strings GMime hands over.
std::string Take(char* text) {
    if (text == nullptr) return {};
    std::string out(text);
    g_free(text);
    return out;
}

GMimeFormatOptions* LfFormat() {
    static GMimeFormatOptions* format = [] {
        GMimeFormatOptions* f = g_mime_format_options_new();
        g_mime_format_options_set_newline_format(f, GMIME_NEWLINE_FORMAT_UNIX);
        return f;
    }();
    return format;
}

bool IsMessage(GMimeObject* object) { return GMIME_IS_MESSAGE(object); }

// Where a message's or part's parts live: its multipart, if any.
GMimeMultipart* Container(GMimeObject* object) {
    if (object == nullptr) return nullptr;
    if (IsMessage(object)) object = g_mime_message_get_mime_part(GMIME_MESSAGE(object));
    return GMIME_IS_MULTIPART(object) ? GMIME_MULTIPART(object) : nullptr;
}

std::string StreamBytes(GMimeStream* stream) {
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

// The decoded content of a leaf, in UTF-8 when it is text.
std::string LeafText(GMimePart* part) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (content == nullptr) return {};
    if (GMIME_IS_TEXT_PART(part)) return ToLf(Take(g_mime_text_part_get_text(GMIME_TEXT_PART(part))));
    Ref<GMimeStream> stream(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, stream.get());
    return ToLf(StreamBytes(stream.get()));
}

bool IsMimeType(GMimeObject* object, const char* type, const char* subtype) {
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    return ct != nullptr && g_mime_content_type_is_type(ct, type, subtype);
}

// The first text/plain leaf, depth first: what a mail reader shows as the plain body.
GMimePart* FirstPlainLeaf(GMimeObject* object) {
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            if (GMimePart* found = FirstPlainLeaf(g_mime_multipart_get_part(multipart, i))) return found;
        }
        return nullptr;
    }
    if (GMIME_IS_PART(object) && IsMimeType(object, "text", "plain")) return GMIME_PART(object);
    return nullptr;
}

std::string ObjectBody(GMimeObject* object) {
    if (object == nullptr) return {};
    if (GMIME_IS_PART(object)) return LeafText(GMIME_PART(object));
    if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        return inner != nullptr ? Serialise(GMIME_OBJECT(inner)) : std::string();
    }
    GMimePart* plain = FirstPlainLeaf(object);
    return plain != nullptr ? LeafText(plain) : std::string();
}

std::string MessageBody(GMimeMessage* message) {
    GMimeObject* top = g_mime_message_get_mime_part(message);
    if (GMIME_IS_MULTIPART(top) && g_mime_object_get_header(GMIME_OBJECT(message), kBodyMark) != nullptr) {
        const char* prologue = g_mime_multipart_get_prologue(GMIME_MULTIPART(top));
        return prologue != nullptr ? ToLf(prologue) : std::string();
    }
    return ObjectBody(top);
}

void SetLeafText(GMimePart* part, std::string_view text) {
    const std::string lf = ToLf(text);
    Ref<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(lf.data(), lf.size()));
    Ref<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    if (IsMimeType(GMIME_OBJECT(part), "text", "*")) {
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    }
    g_mime_part_set_content_encoding(part, g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT));
}

void SetProloguedBody(GMimeMessage* message, GMimeMultipart* multipart, std::string_view text) {
    const std::string lf = ToLf(text);
    g_mime_multipart_set_prologue(multipart, lf.empty() ? nullptr : lf.c_str());
    g_mime_object_set_header(GMIME_OBJECT(message), kBodyMark, "prologue", nullptr);
}

void SetMessageBody(GMimeMessage* message, std::string_view text) {
    GMimeObject* top = g_mime_message_get_mime_part(message);
    if (GMIME_IS_MULTIPART(top)) return SetProloguedBody(message, GMIME_MULTIPART(top), text);
    if (GMIME_IS_PART(top)) return SetLeafText(GMIME_PART(top), text);
    Ref<GMimeObject> leaf = NewPart();
    SetLeafText(GMIME_PART(leaf.get()), text);
    g_mime_message_set_mime_part(message, leaf.get());
}

// Turns a message's single body into a multipart: plain text becomes the message's own body,
// anything else becomes the first part.
GMimeMultipart* MakeMultipart(GMimeMessage* message) {
    Ref<GMimeObject> old = Ref<GMimeObject>::Share(g_mime_message_get_mime_part(message));
    Ref<GMimeMultipart> multipart(g_mime_multipart_new_with_subtype("mixed"));
    g_mime_message_set_mime_part(message, GMIME_OBJECT(multipart.get()));
    if (old && GMIME_IS_TEXT_PART(old.get()) && IsMimeType(old.get(), "text", "plain")) {
        const std::string body = LeafText(GMIME_PART(old.get()));
        if (!body.empty()) SetProloguedBody(message, multipart.get(), body);
    } else if (old) {
        g_mime_multipart_add(multipart.get(), old.get());
    }
    return multipart.get();  // the message holds it
}

bool Contains(GMimeObject* tree, GMimeObject* wanted) {
    if (tree == wanted) return true;
    GMimeMultipart* multipart = Container(tree);
    if (multipart == nullptr) return false;
    for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
        if (Contains(g_mime_multipart_get_part(multipart, i), wanted)) return true;
    }
    return false;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool SameDomain(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return g_ascii_tolower(x) == g_ascii_tolower(y);
           });
}

void CollectAddresses(InternetAddressList* list, std::vector<std::string>& out) {
    if (list == nullptr) return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
            if (addr != nullptr && *addr != '\0') out.emplace_back(addr);
        } else if (INTERNET_ADDRESS_IS_GROUP(address)) {
            CollectAddresses(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), out);
        }
    }
}

// A mailbox that is only a name (a sender who wrote no address) is shown by that name.
void CollectShownAddresses(InternetAddressList* list, std::vector<std::string>& out) {
    if (list == nullptr) return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            CollectShownAddresses(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), out);
            continue;
        }
        if (!INTERNET_ADDRESS_IS_MAILBOX(address)) continue;
        const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
        const char* name = internet_address_get_name(address);
        std::string shown = CleanLine(addr != nullptr ? addr : "");
        if (shown.empty() && name != nullptr) shown = CleanLine(name);
        if (!shown.empty()) out.push_back(std::move(shown));
    }
}

std::string ForDisplay(const std::string& addr, std::string_view domain) {
    const auto at = addr.rfind('@');
    if (at == std::string::npos || !SameDomain(std::string_view(addr).substr(at + 1), domain)) return addr;
    return addr.substr(0, at);
}

void AddOne(InternetAddressList* list, std::string_view token, std::string_view domain) {
    const std::string text(token);
    if (text.find_first_of("@<") == std::string::npos) {
        const std::string addr = domain.empty() ? text : text + "@" + std::string(domain);
        Ref<InternetAddress> mailbox(internet_address_mailbox_new(nullptr, addr.c_str()));
        internet_address_list_add(list, mailbox.get());
        return;
    }
    if (Ref<InternetAddressList> parsed{internet_address_list_parse(nullptr, text.c_str())}) {
        internet_address_list_append(list, parsed.get());
        return;
    }
    Ref<InternetAddress> mailbox(internet_address_mailbox_new(nullptr, text.c_str()));
    internet_address_list_add(list, mailbox.get());
}

}  // namespace

void EnsureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::string ToLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

Ref<GMimeMessage> NewMessage() {
    EnsureInitialised();
    Ref<GMimeMessage> message(g_mime_message_new(FALSE));
    g_mime_object_set_header(GMIME_OBJECT(message.get()), "MIME-Version", "1.0", nullptr);
    return message;
}

Ref<GMimeMessage> MessageFromText(std::string_view text) {
    EnsureInitialised();
    const std::string lf = ToLf(text);
    Ref<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(lf.data(), lf.size()));
    Ref<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    if (Ref<GMimeMessage> parsed{g_mime_parser_construct_message(parser.get(), nullptr)}) return parsed;
    Ref<GMimeMessage> message = NewMessage();
    if (!Trim(lf).empty()) SetMessageBody(message.get(), lf);
    return message;
}

Ref<GMimeObject> NewPart() {
    EnsureInitialised();
    return Ref<GMimeObject>(GMIME_OBJECT(g_mime_text_part_new_with_subtype("plain")));
}

std::string Serialise(GMimeObject* object) {
    if (object == nullptr) return {};
    return Take(g_mime_object_to_string(object, LfFormat()));
}

std::string Body(GMimeObject* object) {
    if (object != nullptr && IsMessage(object)) return MessageBody(GMIME_MESSAGE(object));
    return ObjectBody(object);
}

void SetBody(GMimeObject* object, std::string_view text) {
    if (object == nullptr) return;
    if (IsMessage(object)) return SetMessageBody(GMIME_MESSAGE(object), text);
    if (GMIME_IS_PART(object)) return SetLeafText(GMIME_PART(object), text);
    if (GMIME_IS_MULTIPART(object)) g_mime_multipart_set_prologue(GMIME_MULTIPART(object), ToLf(text).c_str());
}

std::string ContentType(GMimeObject* object) {
    if (object != nullptr && IsMessage(object)) object = g_mime_message_get_mime_part(GMIME_MESSAGE(object));
    if (object == nullptr) return {};
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    return ct != nullptr ? Take(g_mime_content_type_get_mime_type(ct)) : std::string();
}

bool SetContentType(GMimeObject* object, std::string_view type) {
    if (object == nullptr) return false;
    if (IsMessage(object)) {
        GMimeMessage* message = GMIME_MESSAGE(object);
        if (g_mime_message_get_mime_part(message) == nullptr) SetMessageBody(message, "");
        object = g_mime_message_get_mime_part(message);
    }
    const std::string text(Trim(type));
    Ref<GMimeContentType> ct(g_mime_content_type_parse(nullptr, text.c_str()));
    if (!ct || text.empty()) return false;
    const bool multipart = g_mime_content_type_is_type(ct.get(), "multipart", "*");
    if (multipart != static_cast<bool>(GMIME_IS_MULTIPART(object)) || GMIME_IS_MESSAGE_PART(object)) return false;
    if (const char* boundary = g_mime_object_get_content_type_parameter(object, "boundary"); multipart && boundary) {
        g_mime_content_type_set_parameter(ct.get(), "boundary", boundary);
    }
    const bool text_type = g_mime_content_type_is_type(ct.get(), "text", "*");
    g_mime_object_set_content_type(object, ct.get());
    if (text_type && g_mime_object_get_content_type_parameter(object, "charset") == nullptr) {
        g_mime_object_set_content_type_parameter(object, "charset", "utf-8");
    }
    return true;
}

std::string Addresses(GMimeMessage* message, GMimeAddressType type, std::string_view domain) {
    std::vector<std::string> addrs;
    CollectShownAddresses(g_mime_message_get_addresses(message, type), addrs);
    std::string out;
    for (const std::string& addr : addrs) {
        if (!out.empty()) out += ", ";
        out += ForDisplay(addr, domain);
    }
    return out;
}

void SetAddresses(GMimeMessage* message, GMimeAddressType type, std::string_view text, std::string_view domain) {
    InternetAddressList* list = g_mime_message_get_addresses(message, type);
    internet_address_list_clear(list);
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view token = Trim(rest.substr(0, comma));
        if (!token.empty()) AddOne(list, token, domain);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
}

std::vector<std::string> Recipients(GMimeMessage* message) {
    std::vector<std::string> out;
    for (GMimeAddressType type : {GMIME_ADDRESS_TYPE_TO, GMIME_ADDRESS_TYPE_CC, GMIME_ADDRESS_TYPE_BCC}) {
        CollectAddresses(g_mime_message_get_addresses(message, type), out);
    }
    return out;
}

// The header's value as it stands in the message (folded, encoded), or null without one.
static const char* RawHeader(GMimeMessage* message, const char* name) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    GMimeHeader* header = headers != nullptr ? g_mime_header_list_get_header(headers, name) : nullptr;
    return header != nullptr ? g_mime_header_get_raw_value(header) : nullptr;
}

std::string Subject(GMimeMessage* message) {
    if (const char* raw = RawHeader(message, "Subject")) return DisplayHeader(raw);
    const char* subject = g_mime_message_get_subject(message);
    return subject != nullptr ? CleanLine(subject) : std::string();
}

void SetSubject(GMimeMessage* message, std::string_view text) {
    const std::string subject(text);
    g_mime_message_set_subject(message, subject.c_str(), "utf-8");
}

uint32_t Date(GMimeMessage* message) {
    GDateTime* date = g_mime_message_get_date(message);
    if (date == nullptr) return 0;
    const gint64 seconds = g_date_time_to_unix(date);
    return static_cast<uint32_t>(std::clamp<gint64>(seconds, 0, UINT32_MAX));
}

void SetDate(GMimeMessage* message, uint32_t seconds) {
    GDateTime* date = g_date_time_new_from_unix_utc(static_cast<gint64>(seconds));
    g_mime_message_set_date(message, date);
    g_date_time_unref(date);
}

int PartCount(GMimeObject* object) {
    GMimeMultipart* multipart = Container(object);
    return multipart != nullptr ? g_mime_multipart_get_count(multipart) : 0;
}

GMimeObject* PartAt(GMimeObject* object, int index) {
    GMimeMultipart* multipart = Container(object);
    if (multipart == nullptr || index < 0 || index >= g_mime_multipart_get_count(multipart)) return nullptr;
    return g_mime_multipart_get_part(multipart, index);
}

bool AddPart(GMimeObject* object, GMimeObject* part) {
    if (object == nullptr || part == nullptr || IsMessage(part)) return false;
    if (Contains(part, object) || Contains(object, part)) return false;  // no cycles, no part twice
    GMimeMultipart* multipart = Container(object);
    if (multipart == nullptr && IsMessage(object)) multipart = MakeMultipart(GMIME_MESSAGE(object));
    if (multipart == nullptr) return false;
    g_mime_multipart_add(multipart, part);
    return true;
}

}  // namespace harbor::mime
