#include "store/message_header_list.h"

#include "state/service_handles.h"

namespace wm {
namespace {

std::string Copy(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

MessageHeader::MessageHeader(const char* fromText, const char* subjectText, uint32_t dateValue, uint32_t id,
                             uint32_t kind)
    : from(Copy(fromText)), subject(Copy(subjectText)), date(dateValue), mail_id(id), box_kind(kind) {}

MessageHeaderList::~MessageHeaderList() {
    MessageHeader* header = nodes_.Head();
    while (header != nullptr) {
        MessageHeader* following = header->next;
        delete header;
        header = following;
    }
}

MessageHeader* MessageHeaderList::Find(uint32_t boxKind, uint32_t mailId) const {
    for (MessageHeader* header = nodes_.Head(); header != nullptr; header = header->next) {
        if (header->mail_id == mailId && header->box_kind == boxKind) {
            return header;
        }
    }
    return nullptr;
}

void MessageHeaderList::Remove(MessageHeader* header) {
    nodes_.Unlink(header);
    delete header;
}

void AppendHeader(MessageHeaderList* list, const char* from, const char* subject, uint32_t date, uint32_t mailId,
                  uint32_t boxKind) {
    if (list != nullptr) {
        list->Append(new MessageHeader(from, subject, date, mailId, boxKind));
    }
}

void RemoveHeader(MessageHeaderList* list, uint32_t boxKind, uint32_t mailId) {
    if (list == nullptr) {
        return;
    }
    if (MessageHeader* header = list->Find(boxKind, mailId)) {
        list->Remove(header);
    }
}

void CreateHeaderList() {
    if (Services().header_list == nullptr) {
        Services().header_list = new MessageHeaderList();
    }
}

void DeleteHeaderList() {
    delete Services().header_list;
    Services().header_list = nullptr;
}

}  // namespace wm
