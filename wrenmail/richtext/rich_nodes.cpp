#include "richtext/rich_nodes.h"

#include <cstring>
#include <new>

namespace wm {

void NodeList::Append(RichNode* node) {
    InsertAfter(tail, node);
}

void NodeList::InsertAfter(RichNode* after, RichNode* node) {
    node->prev = after;
    node->next = after != nullptr ? after->next : head;
    if (node->next != nullptr) {
        node->next->prev = node;
    } else {
        tail = node;
    }
    if (after != nullptr) {
        after->next = node;
    } else {
        head = node;
    }
}

void NodeList::InsertBefore(RichNode* before, RichNode* node) {
    InsertAfter(before != nullptr ? before->prev : tail, node);
}

void NodeList::Unlink(RichNode* node) {
    (node->prev != nullptr ? node->prev->next : head) = node->next;
    (node->next != nullptr ? node->next->prev : tail) = node->prev;
    node->prev = nullptr;
    node->next = nullptr;
}

FontRun::~FontRun() {
    delete[] font_name;
}

ImageInfo::~ImageInfo() {
    delete[] name_text;
    delete[] id_name;
    delete[] width_text;
    delete[] height_text;
}

char* CopyText(const char* text, uint32_t* length) {
    const char* source = text != nullptr ? text : "";
    const std::size_t size = std::strlen(source);
    char* copy = new (std::nothrow) char[size + 1];
    if (copy != nullptr) {
        std::memcpy(copy, source, size + 1);
        if (length != nullptr) *length = static_cast<uint32_t>(size);
    }
    return copy;
}

}  // namespace wm
