// The in-memory index of stored mail the mailbox list draws from: one header per inbox message,
// in arrival order. A header is identified by its (box kind, mail id) pair.
#ifndef WRENMAIL_STORE_MESSAGE_HEADER_LIST_H
#define WRENMAIL_STORE_MESSAGE_HEADER_LIST_H

#include <cstdint>
#include <string>

#include "messaging/intrusive_list.h"

namespace wm {

// The plain node every list node derives from.
class ListNode {
public:
    virtual ~ListNode() = default;
};

class MessageHeader : public ListNode {
public:
    MessageHeader(const char* fromText, const char* subjectText, uint32_t dateValue, uint32_t id, uint32_t kind);
    ~MessageHeader() override = default;

    MessageHeader* next = nullptr;
    MessageHeader* prev = nullptr;
    std::string from;
    std::string subject;
    uint32_t date = 0;
    uint32_t mail_id = 0;
    uint32_t box_kind = 0;  // the MailOwnerKind of the inbox the message is in
};

class MessageHeaderList {
public:
    MessageHeaderList() = default;
    MessageHeaderList(const MessageHeaderList&) = delete;
    MessageHeaderList& operator=(const MessageHeaderList&) = delete;
    // Destroys every header, head to tail.
    virtual ~MessageHeaderList();

    MessageHeader* Head() const { return nodes_.Head(); }
    MessageHeader* Tail() const { return nodes_.Tail(); }
    // The header appended last; a removal moves it to the header that followed.
    MessageHeader* Cursor() const { return nodes_.Cursor(); }
    std::size_t Size() const { return nodes_.Size(); }

    void Append(MessageHeader* header) { nodes_.Append(header); }
    MessageHeader* Find(uint32_t boxKind, uint32_t mailId) const;
    // Unlinks and destroys the header.
    void Remove(MessageHeader* header);

private:
    IntrusiveList<MessageHeader> nodes_;
};

// Copies both texts (null reads as empty) into a new header at the tail.
void AppendHeader(MessageHeaderList* list, const char* from, const char* subject, uint32_t date, uint32_t mailId,
                  uint32_t boxKind);
// Removes the header with this pair; nothing when there is none (or no list).
void RemoveHeader(MessageHeaderList* list, uint32_t boxKind, uint32_t mailId);

// The process-wide header list held in Services(): creates the empty list (an existing one is
// kept), and deletes it.
void CreateHeaderList();
void DeleteHeaderList();

}  // namespace wm

#endif
