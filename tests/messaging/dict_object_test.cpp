#include "messaging/dict_object.h"

#include <gtest/gtest.h>

#include <vector>

#include "hxmsg.h"
#include "messaging/name_atoms.h"

namespace {

using wm::DictObject;

std::vector<uint16_t> MakeKeys(int count) {
    std::vector<uint16_t> keys;
    for (int i = 0; i < count; ++i) keys.push_back(wm::FetchAtomFormat("DictTestKey%d", i));
    return keys;
}

// A dictionary holding keys[i] = 100 + i as Longs.
void Fill(DictObject& dict, const std::vector<uint16_t>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(dict.PutLong(keys[i], static_cast<int32_t>(100 + i)));
}

// Thirty keys fill a record with its link; the thirty-first starts the next record.
TEST(DictObject, KeysBeyondThirtyGoToLinkedRecordsAndFreeChainCutsThem) {
    const auto keys = MakeKeys(75);
    DictObject dict;
    Fill(dict, keys);
    EXPECT_EQ(dict.RecordCount(), 3);
    EXPECT_EQ(dict.KeyCount(), 75);
    EXPECT_EQ(EDictKeyCount(dict.FirstRecord()), 31);
    EXPECT_TRUE(EDictHasKey(dict.FirstRecord(), atoms::NEXT));
    EXPECT_FALSE(EDictHasKey(dict.FirstRecord(), keys[30]));
    auto* second = static_cast<EDict*>(EDictGetPointer(dict.FirstRecord(), atoms::NEXT));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(EDictKeyCount(second), 31);
    EXPECT_EQ(EDictGetLong(second, keys[30]), 130);
    for (int32_t n = 0; n < 75; ++n) {
        uint16_t type = 0;
        EXPECT_EQ(dict.KeyAt(n, &type), keys[static_cast<std::size_t>(n)]);
        EXPECT_EQ(type, EDictLong);
    }
    uint16_t untouched = 77;
    EXPECT_EQ(dict.KeyAt(75, &untouched), 0);
    EXPECT_EQ(dict.KeyAt(-1, &untouched), 0);
    EXPECT_EQ(untouched, 77);

    // A key that lives in the second record is overwritten there; nothing grows.
    EXPECT_TRUE(dict.PutLong(keys[30], -4));
    EXPECT_EQ(dict.GetLong(keys[30]), -4);
    EXPECT_EQ(dict.RecordCount(), 3);
    EXPECT_EQ(dict.KeyCount(), 75);
    EXPECT_EQ(EDictKeyCount(second), 31);

    // Freeing the chain keeps the first record without its link; the chain then grows afresh.
    dict.FreeChain();
    EXPECT_EQ(dict.RecordCount(), 1);
    EXPECT_FALSE(EDictHasKey(dict.FirstRecord(), atoms::NEXT));
    EXPECT_EQ(dict.KeyCount(), 30);
    EXPECT_EQ(dict.GetLong(keys[29]), 129);
    EXPECT_FALSE(dict.HasKey(keys[30]));
    EXPECT_EQ(dict.GetLong(keys[74]), 0);
    Fill(dict, keys);
    EXPECT_EQ(dict.KeyCount(), 75);
    EXPECT_EQ(dict.GetLong(keys[74]), 174);
    EXPECT_TRUE(dict.Clear());
    EXPECT_EQ(dict.KeyCount(), 0);
    EXPECT_FALSE(dict.HasKey(keys[35]));
}

TEST(DictObject, ALinkNoLongerNamedByNextIsNotFollowed) {
    const auto keys = MakeKeys(31);
    for (const bool removeLink : {true, false}) {
        SCOPED_TRACE(removeLink ? "NEXT removed" : "NEXT overwritten");
        DictObject dict;
        Fill(dict, keys);
        ASSERT_EQ(dict.RecordCount(), 2);
        if (removeLink) {
            EDictRemove(dict.FirstRecord(), atoms::NEXT);
        } else {
            EDictPutLong(dict.FirstRecord(), atoms::NEXT, 7);
        }
        EXPECT_EQ(dict.RecordCount(), 1);
        EXPECT_EQ(dict.KeyCount(), 30);
        EXPECT_FALSE(dict.HasKey(keys[30]));
    }
}

TEST(DictObject, RemoveInTheSecondRecordAndRefillIt) {
    const auto keys = MakeKeys(32);
    DictObject dict;
    Fill(dict, std::vector<uint16_t>(keys.begin(), keys.begin() + 31));
    EXPECT_TRUE(dict.Remove(keys[30]));
    EXPECT_FALSE(dict.HasKey(keys[30]));
    EXPECT_FALSE(dict.Remove(keys[30]));
    EXPECT_EQ(dict.KeyCount(), 30);

    // The first record stays full with its link, so the new key goes to the second.
    EXPECT_TRUE(dict.PutShort(keys[31], 5));
    EXPECT_EQ(dict.RecordCount(), 2);
    EXPECT_FALSE(EDictHasKey(dict.FirstRecord(), keys[31]));
    EXPECT_EQ(dict.GetShort(keys[31]), 5);

    // The link counts towards the first record's 30: one freed slot is not enough room there.
    ASSERT_TRUE(dict.Remove(keys[3]) && dict.PutLong(keys[30], 1));
    EXPECT_FALSE(EDictHasKey(dict.FirstRecord(), keys[30]));
    ASSERT_TRUE(dict.Remove(keys[4]) && dict.Remove(keys[5]) && dict.PutLong(keys[4], 1));
    EXPECT_TRUE(EDictHasKey(dict.FirstRecord(), keys[4]));
    EXPECT_EQ(dict.KeyCount(), 30);
}

TEST(DictObject, EachKindReadsBackThroughItsGet) {
    const auto keys = MakeKeys(8);
    const char* text = "Message text";
    int payload = 0;
    DictObject object;
    DictInterface& dict = object;
    ASSERT_TRUE(dict.PutBool(keys[0], true) && dict.PutPointer(keys[1], &payload) && dict.PutLong(keys[2], -77) &&
                dict.PutShort(keys[3], 0xBEEF) && dict.PutText(keys[4], text) && dict.PutHandle(keys[5], 0xFEEDF00Du) &&
                dict.PutType9(keys[6], 9999));

    EXPECT_TRUE(dict.GetBool(keys[0]));
    EXPECT_EQ(HxDeref(dict.GetPointer(keys[1])), &payload);
    EXPECT_EQ(dict.GetLong(keys[2]), -77);
    EXPECT_EQ(dict.GetShort(keys[3]), 0xBEEF);
    EXPECT_EQ(HxDeref(dict.GetText(keys[4])), text);
    EXPECT_EQ(dict.GetHandle(keys[5]), 0xFEEDF00Du);
    EXPECT_EQ(dict.GetType9(keys[6]), 9999u);
    uint16_t type = 0;
    EXPECT_EQ(dict.KeyAt(6, &type), keys[6]);
    EXPECT_EQ(type, EDictType9);

    EXPECT_FALSE(dict.GetBool(keys[7]));
    EXPECT_EQ(dict.GetLong(keys[7]), 0);
    EXPECT_EQ(dict.GetText(keys[7]), 0u);
    EXPECT_FALSE(object.Copied());
}

TEST(DictObject, ACopiedLinkToAnotherObjectsRecordIsNotFollowed) {
    const auto keys = MakeKeys(70);
    auto original = std::make_unique<DictObject>();
    Fill(*original, std::vector<uint16_t>(keys.begin(), keys.begin() + 40));
    DictObject copy(original->FirstRecord());
    EXPECT_EQ(copy.RecordCount(), 1);
    EXPECT_EQ(copy.KeyCount(), 30);
    EXPECT_FALSE(copy.HasKey(keys[35]));

    // Growing the copy links a record of its own in place of the foreign link.
    Fill(copy, std::vector<uint16_t>(keys.begin() + 40, keys.end()));
    EXPECT_EQ(copy.KeyCount(), 60);
    EXPECT_EQ(copy.RecordCount(), 2);
    EXPECT_EQ(original->GetLong(keys[35]), 135);
    EXPECT_FALSE(original->HasKey(keys[45]));
    original.reset();
    EXPECT_EQ(copy.GetLong(keys[69]), 129);
}

TEST(DictObject, ACopyTakesTheRecordsEntriesAndALinkToAnythingElseEndsItsChain) {
    const auto keys = MakeKeys(32);
    EDict record;
    EDictClear(&record);
    for (std::size_t i = 0; i < 30; ++i) EDictPutLong(&record, keys[i], 1);
    EDictPutShort(&record, keys[1], 2);
    int stranger = 0;
    EDictPutPointer(&record, atoms::NEXT, &stranger);
    DictObject copy(&record);
    EXPECT_TRUE(copy.Copied());
    EXPECT_EQ(copy.KeyCount(), 30);
    EXPECT_EQ(copy.GetShort(keys[1]), 2);
    EXPECT_FALSE(copy.HasKey(keys[30]));
    EXPECT_EQ(copy.GetLong(keys[30]), 0);
    uint16_t type = 0;
    EXPECT_EQ(copy.KeyAt(30, &type), 0);
    copy.PutLong(keys[31], 3);
    EXPECT_FALSE(EDictHasKey(&record, keys[31]));

    DictObject empty(nullptr);
    EXPECT_FALSE(empty.Copied());
    EXPECT_EQ(empty.KeyCount(), 0);

    EDictPutTyped(&record, atoms::NEXT, 0xFFFFFFF0u, EDictPointer);
    DictObject damaged(&record);
    EXPECT_TRUE(damaged.PutLong(keys[30], 5));
    EXPECT_EQ(damaged.RecordCount(), 2);
    EXPECT_EQ(damaged.GetLong(keys[30]), 5);
    damaged.FreeChain();
    EXPECT_FALSE(EDictHasKey(damaged.FirstRecord(), atoms::NEXT));
}

}  // namespace
