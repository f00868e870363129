#include <gtest/gtest.h>

#include <vector>

#include "store/message_header_list.h"

namespace {

std::vector<uint32_t> Ids(const wm::MessageHeaderList& list) {
    std::vector<uint32_t> ids;
    for (const wm::MessageHeader* h = list.Head(); h != nullptr; h = h->next) ids.push_back(h->mail_id);
    return ids;
}

// Walking backwards must give the same nodes: the prev links are right.
std::vector<uint32_t> IdsBackwards(const wm::MessageHeaderList& list) {
    std::vector<uint32_t> ids;
    for (const wm::MessageHeader* h = list.Tail(); h != nullptr; h = h->prev) ids.insert(ids.begin(), h->mail_id);
    return ids;
}

TEST(HeaderList, AppendCopiesTheTextsAndMovesTheCursor) {
    wm::MessageHeaderList list;
    std::string from = "ann_01";
    wm::AppendHeader(&list, from.c_str(), nullptr, 77, 1, 1);
    from = "changed";
    wm::AppendHeader(&list, "bo", "Hi", 78, 2, 2);
    EXPECT_EQ(list.Head()->from, "ann_01");
    EXPECT_EQ(list.Head()->subject, "");
    EXPECT_EQ(list.Head()->date, 77u);
    EXPECT_EQ(list.Cursor(), list.Tail());
    EXPECT_EQ(list.Tail()->box_kind, 2u);
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 2}));
}

TEST(HeaderList, RemoveUnlinksByKindAndIdWherever) {
    wm::MessageHeaderList list;
    for (uint32_t id : {1u, 2u, 3u, 4u}) wm::AppendHeader(&list, "a", "s", 0, id, 1);
    wm::AppendHeader(&list, "a", "s", 0, 2, 2);
    wm::RemoveHeader(&list, 2, 2);  // tail, behind a kind-1 header of the same id: the cursor on it goes
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.Tail()->mail_id, 4u);
    EXPECT_EQ(list.Tail()->next, nullptr);
    wm::RemoveHeader(&list, 1, 2);  // middle
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 3, 4}));
    wm::RemoveHeader(&list, 1, 1);  // head
    EXPECT_EQ(list.Head()->prev, nullptr);
    EXPECT_EQ(Ids(list), IdsBackwards(list));
    wm::RemoveHeader(&list, 1, 9);  // none
    wm::RemoveHeader(nullptr, 1, 3);
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{3, 4}));
    wm::RemoveHeader(&list, 1, 4);
    wm::RemoveHeader(&list, 1, 3);  // the only one left
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
}

}  // namespace
