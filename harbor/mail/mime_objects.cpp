#include "mail/mime_objects.h"

#include <algorithm>
#include <array>
#include <utility>

namespace harbor {

namespace {

constexpr std::array<std::pair<std::string_view, MailProperty>, 8> kProperties = {{
    {"To", MailProperty::To},
    {"From", MailProperty::From},
    {"Subject", MailProperty::Subject},
    {"Date", MailProperty::Date},
    {"Body", MailProperty::Body},
    {"ContentType", MailProperty::ContentType},
    {"Data", MailProperty::Data},
    {"Parts", MailProperty::Parts},
}};

GMimeMessage* AsMessage(GMimeObject* object) { return GMIME_IS_MESSAGE(object) ? GMIME_MESSAGE(object) : nullptr; }

GMimeAddressType AddressType(MailProperty property) {
    return property == MailProperty::To ? GMIME_ADDRESS_TYPE_TO : GMIME_ADDRESS_TYPE_FROM;
}

}  // namespace

std::optional<MailProperty> MailPropertyNamed(std::string_view name) {
    for (const auto& [key, property] : kProperties) {
        if (key == name) return property;
    }
    return std::nullopt;
}

bool IsLongProperty(MailProperty property) { return property == MailProperty::Date || property == MailProperty::Parts; }

MimeObjectTable::MimeObjectTable(std::string domain) : domain_(std::move(domain)) { mime::EnsureInitialised(); }

uint32_t MimeObjectTable::Insert(mime::Ref<GMimeObject> object, uint32_t owner) {
    while (next_ == 0 || entries_.count(next_) != 0) ++next_;
    const uint32_t handle = next_++;
    Entry& entry = entries_[handle];
    entry.object = std::move(object);
    entry.owner = owner;
    if (owner != 0) entries_.at(owner).parts.push_back(handle);
    return handle;
}

uint32_t MimeObjectTable::NewMessage() {
    mime::Ref<GMimeMessage> message = mime::NewMessage();
    return Insert(mime::Ref<GMimeObject>::Share(GMIME_OBJECT(message.get())), 0);
}

uint32_t MimeObjectTable::NewMessage(std::string_view data) {
    mime::Ref<GMimeMessage> message = mime::MessageFromText(data);
    return Insert(mime::Ref<GMimeObject>::Share(GMIME_OBJECT(message.get())), 0);
}

uint32_t MimeObjectTable::NewPart() { return Insert(mime::NewPart(), 0); }

bool MimeObjectTable::IsMessage(uint32_t handle) const { return AsMessage(Object(handle)) != nullptr; }

GMimeObject* MimeObjectTable::Object(uint32_t handle) const {
    auto it = entries_.find(handle);
    return it != entries_.end() ? it->second.object.get() : nullptr;
}

void MimeObjectTable::Adopt(uint32_t owner, uint32_t part) {
    Entry& entry = entries_.at(part);
    if (entry.owner != 0) return;
    entry.owner = owner;
    entries_.at(owner).parts.push_back(part);
}

bool MimeObjectTable::AddPart(uint32_t message, uint32_t part) {
    GMimeObject* container = Object(message);
    GMimeObject* child = Object(part);
    if (container == nullptr || child == nullptr || !mime::AddPart(container, child)) return false;
    Adopt(message, part);
    return true;
}

bool MimeObjectTable::Free(uint32_t handle) {
    auto it = entries_.find(handle);
    if (it == entries_.end()) return false;
    const std::vector<uint32_t> parts = std::move(it->second.parts);
    const uint32_t owner = it->second.owner;
    entries_.erase(it);
    if (auto up = entries_.find(owner); up != entries_.end()) std::erase(up->second.parts, handle);
    for (uint32_t part : parts) {
        if (auto child = entries_.find(part); child != entries_.end()) child->second.owner = 0;
        Free(part);
    }
    return true;
}

std::string MimeObjectTable::Compute(GMimeObject* object, MailProperty property) const {
    GMimeMessage* message = AsMessage(object);
    switch (property) {
        case MailProperty::To:
        case MailProperty::From:
            return message != nullptr ? mime::Addresses(message, AddressType(property), domain_) : std::string();
        case MailProperty::Subject:
            return message != nullptr ? mime::Subject(message) : std::string();
        case MailProperty::Body:
            return mime::Body(object);
        case MailProperty::ContentType:
            return mime::ContentType(object);
        case MailProperty::Data:
            return mime::Serialise(object);
        case MailProperty::Date:
        case MailProperty::Parts:
            break;
    }
    return {};
}

const char* MimeObjectTable::Text(uint32_t handle, MailProperty property) {
    auto it = entries_.find(handle);
    if (it == entries_.end() || IsLongProperty(property)) return nullptr;
    std::string value = Compute(it->second.object.get(), property);
    std::string& kept = it->second.texts[property];
    if (kept != value) kept = std::move(value);  // same value: the same characters stay
    return kept.c_str();
}

std::optional<int32_t> MimeObjectTable::Long(uint32_t handle, MailProperty property) {
    GMimeObject* object = Object(handle);
    if (object == nullptr || !IsLongProperty(property)) return std::nullopt;
    if (property == MailProperty::Parts) return mime::PartCount(object);
    GMimeMessage* message = AsMessage(object);
    return static_cast<int32_t>(message != nullptr ? mime::Date(message) : 0u);
}

bool MimeObjectTable::SetText(uint32_t handle, MailProperty property, std::string_view text) {
    GMimeObject* object = Object(handle);
    GMimeMessage* message = AsMessage(object);
    if (object == nullptr) return false;
    switch (property) {
        case MailProperty::To:
        case MailProperty::From:
            if (message == nullptr) return false;
            mime::SetAddresses(message, AddressType(property), text, domain_);
            return true;
        case MailProperty::Subject:
            if (message == nullptr) return false;
            mime::SetSubject(message, text);
            return true;
        case MailProperty::Body:
            mime::SetBody(object, text);
            return true;
        case MailProperty::ContentType:
            return mime::SetContentType(object, text);
        case MailProperty::Data:
        case MailProperty::Date:
        case MailProperty::Parts:
            break;
    }
    return false;
}

bool MimeObjectTable::SetLong(uint32_t handle, MailProperty property, int32_t value) {
    GMimeMessage* message = AsMessage(Object(handle));
    if (message == nullptr || property != MailProperty::Date) return false;
    mime::SetDate(message, static_cast<uint32_t>(value));
    return true;
}

uint32_t MimeObjectTable::Part(uint32_t handle, int32_t index) {
    auto it = entries_.find(handle);
    if (it == entries_.end()) return 0;
    GMimeObject* child = mime::PartAt(it->second.object.get(), index);
    if (child == nullptr) return 0;
    for (uint32_t part : it->second.parts) {
        if (Object(part) == child) return part;
    }
    return Insert(mime::Ref<GMimeObject>::Share(child), handle);
}

}  // namespace harbor
