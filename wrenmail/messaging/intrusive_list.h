// An intrusive doubly linked list with head, tail and a cursor. Nodes carry their own `next` and
// `prev` links and belong to at most one list; the list never allocates or frees them.
#ifndef WRENMAIL_MESSAGING_INTRUSIVE_LIST_H
#define WRENMAIL_MESSAGING_INTRUSIVE_LIST_H

#include <cstddef>

namespace wm {

template <typename Node>
class IntrusiveList {
public:
    Node* Head() const { return head_; }
    Node* Tail() const { return tail_; }
    Node* Cursor() const { return cursor_; }
    std::size_t Size() const { return size_; }
    bool Empty() const { return head_ == nullptr; }

    // Appends at the tail; the cursor moves to the new node.
    void Append(Node* node) {
        node->next = nullptr;
        node->prev = tail_;
        if (tail_ != nullptr) {
            tail_->next = node;
        } else {
            head_ = node;
        }
        tail_ = node;
        cursor_ = node;
        ++size_;
    }

    // Unlinks the node; a cursor on it moves to the node that followed it.
    void Unlink(Node* node) {
        if (node->prev != nullptr) {
            node->prev->next = node->next;
        } else {
            head_ = node->next;
        }
        if (node->next != nullptr) {
            node->next->prev = node->prev;
        } else {
            tail_ = node->prev;
        }
        if (cursor_ == node) {
            cursor_ = node->next;
        }
        node->next = nullptr;
        node->prev = nullptr;
        --size_;
    }

private:
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    Node* cursor_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace wm

#endif
