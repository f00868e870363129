// The module's dictionaries: its own object of linked records, and the reader of the host's
// data dictionaries (plain values, forms, and the binds it asks of the host).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host_tree.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/data_dict_reader.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"
#include "null_host.h"

namespace {

using wm::DataDictReader;
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

bool Same(const HostValue& a, const HostValue& b) {
    return a.type == b.type && a.count == b.count && a.payload == b.payload;
}

class DataDictReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        resource_ = Atom("DctReaderTest");
    }
    void TearDown() override { HxWithdrawValue(resource_); }

    // Publishes the tree's root under the resource name and binds the reader to it.
    void BindTo(const HostValue& root) {
        root_ = tree_.Keep(root);
        HxPublishValue(resource_, root_);
        reader_.SetNameAtom(resource_);
        ASSERT_TRUE(reader_.Bind());
    }

    NullHost host_;
    HostTree tree_;
    HostValue* root_ = nullptr;
    uint16_t resource_ = 0;
    DataDictReader reader_;
    const uint16_t age_ = Atom("Age");
    const uint16_t nick_ = Atom("Nick");
    const uint16_t pet_ = Atom("Pet");
    const uint16_t missing_ = Atom("Missing");
};

TEST_F(DataDictReaderTest, PlainLookupsFollowReferencesAndDefaultWhenMissing) {
    const uint16_t colors = Atom("Colors");
    const uint16_t three = Atom("Three");
    const HostValue colorList =
        tree_.Array({HostTree::Int(4), HostTree::Int(5), HostTree::Name(pet_), tree_.Ref(HostTree::Int(6))});
    const HostValue dict = tree_.Dict({{age_, tree_.Ref(tree_.Ref(HostTree::Int(-9)))},
                                       {nick_, tree_.Ref(HostTree::Text("Bo"))},
                                       {pet_, HostTree::Name(Atom("Cat"))},
                                       {colors, tree_.Ref(colorList)},
                                       {three, HostTree::Int(3)}},
                                      5);
    BindTo(tree_.Ref(dict));
    EXPECT_EQ(reader_.GetLong(age_, DataDictReader::kPlain), -9);
    EXPECT_EQ(reader_.GetShort(pet_, DataDictReader::kPlain), Atom("Cat"));
    EXPECT_STREQ(reader_.GetText(nick_, DataDictReader::kPlain), "Bo");

    EXPECT_EQ(reader_.GetLong(missing_, DataDictReader::kPlain), 0);
    EXPECT_EQ(reader_.GetShort(missing_, DataDictReader::kPlain), 0);
    EXPECT_STREQ(reader_.GetText(missing_, DataDictReader::kPlain), "");

    // A name element and elements out of range read 0, as does an element of a plain integer.
    const std::pair<int32_t, int32_t> elements[] = {{0, 4}, {1, 5}, {2, 0}, {3, 6}, {4, 0}, {-1, 0}};
    for (const auto& [element, value] : elements) EXPECT_EQ(reader_.GetElementInt(colors, element), value) << element;
    EXPECT_EQ(reader_.GetElementInt(three, 0), 0);
}

TEST_F(DataDictReaderTest, AnUnboundReaderBrokenReferencesAndAPairlessDictionaryReadAsNothing) {
    EXPECT_STREQ(reader_.GetText(age_, 0), "");
    HostValue* loop = tree_.Keep(HostValue{0, HostValueReference, 1, 0});
    loop->payload = HxRef(loop);
    const uint16_t dangling = Atom("Dangling");
    const uint16_t looping = Atom("Looping");
    const uint16_t list = Atom("List");
    BindTo(tree_.Dict({{dangling, HostValue{0, HostValueReference, 1, 0}},
                       {nick_, HostValue{0, HostValueText, 1, 0}},
                       {looping, *loop},
                       {list, HostValue{0, HostValueArray, 3, 0}},
                       {age_, HostTree::Int(12)}},
                      5));
    EXPECT_EQ(reader_.GetLong(dangling, DataDictReader::kPlain), 0);
    EXPECT_STREQ(reader_.GetText(dangling, DataDictReader::kPlain), "");
    EXPECT_STREQ(reader_.GetText(nick_, DataDictReader::kPlain), "");
    EXPECT_EQ(reader_.GetLong(looping, DataDictReader::kPlain), 0);
    EXPECT_EQ(reader_.GetElementInt(list, 0), 0);
    EXPECT_STREQ(reader_.GetText(age_, DataDictReader::kPlain), "");
    EXPECT_EQ(reader_.GetLong(age_, DataDictReader::kPlain), 12);

    BindTo(HostValue{0, HostValueDictionary, 4, 0});
    EXPECT_EQ(reader_.GetLong(age_, DataDictReader::kPlain), 0);
    EXPECT_EQ(reader_.GetLong(age_, 1), 0);
    EXPECT_EQ(reader_.FormsCount(), 0);
}

// Forms: a template of field names and one flat array of every form's fields.
class FormsTest : public DataDictReaderTest {
protected:
    HostValue FormsDict(std::vector<HostValue> names, std::vector<HostValue> values, uint16_t spare) {
        return tree_.Dict({{Atom("TEMPLATE"), tree_.Array(std::move(names))},
                           {Atom("FORMS"), tree_.Ref(tree_.Array(std::move(values)))}},
                          static_cast<uint16_t>(2 + spare));
    }
    std::vector<HostValue> SevenValues() {
        return {HostTree::Text("Ann"), HostTree::Int(7), HostTree::Text("Ben"), HostTree::Int(8),
                HostTree::Text("Cy"),  HostTree::Int(9), HostTree::Int(99)};
    }
    const HostPairBlock* Block() const { return HostTree::BlockOf(*root_); }
    const HostPair& Pair(uint32_t i) const { return HostTree::PairAt(*root_, i); }
};

TEST_F(FormsTest, FieldsAreReadFromTheIndexedFormAndIndexIsAppended) {
    BindTo(FormsDict({HostTree::Name(nick_), HostTree::Name(age_)}, SevenValues(), 1));
    EXPECT_EQ(reader_.FormsCount(), 3);  // whole forms only
    EXPECT_STREQ(reader_.GetText(nick_, 1), "Ben");
    ASSERT_EQ(Block()->count, 3u);
    EXPECT_TRUE(Same(Pair(2).key, HostTree::Name(Atom("INDEX"))));
    EXPECT_TRUE(Same(Pair(2).value, HostTree::Int(1)));

    EXPECT_EQ(reader_.GetLong(age_, 2), 9);
    EXPECT_EQ(Block()->count, 3u);
    EXPECT_TRUE(Same(Pair(2).value, HostTree::Int(2)));

    EXPECT_EQ(reader_.GetLong(nick_, 3), 99);
    EXPECT_EQ(reader_.GetLong(age_, 3), 0);
    EXPECT_EQ(reader_.GetLong(pet_, 0), 0);
    EXPECT_STREQ(reader_.GetText(pet_, 0), "");
    // The plain value of INDEX is the last form number asked for.
    EXPECT_EQ(reader_.GetLong(Atom("INDEX"), DataDictReader::kPlain), 0);

    BindTo(tree_.Dict({{Atom("TEMPLATE"), tree_.Array({})}, {Atom("FORMS"), tree_.Array(SevenValues())}}, 2));
    EXPECT_EQ(reader_.FormsCount(), 0);
}

TEST_F(FormsTest, ATemplateNamingAFieldTwiceAnswersTheLaterPosition) {
    BindTo(FormsDict({HostTree::Name(age_), HostTree::Name(nick_), HostTree::Name(age_)},
                     {HostTree::Int(1), HostTree::Int(2), HostTree::Int(3), HostTree::Int(4),
                      HostTree::Int(5), HostTree::Int(6)},
                     1));
    EXPECT_EQ(reader_.GetLong(age_, 0), 3);
    EXPECT_EQ(reader_.GetLong(age_, 1), 6);
    EXPECT_EQ(reader_.GetLong(nick_, 1), 5);
}

TEST_F(FormsTest, IndexIsLeftOutOfAFullDictionaryAndTheFirstFormIsRead) {
    BindTo(FormsDict({HostTree::Name(nick_), HostTree::Name(age_)}, SevenValues(), 0));
    EXPECT_EQ(reader_.GetLong(age_, 2), 7);
    EXPECT_EQ(Block()->count, 2u);
    EXPECT_FALSE(Same(Pair(0).key, HostTree::Name(Atom("INDEX"))));
    EXPECT_FALSE(Same(Pair(1).key, HostTree::Name(Atom("INDEX"))));
}

class ReaderRequests : public DataDictReaderTest {
protected:
    void SetUp() override {
        DataDictReaderTest::SetUp();
        host_.resources.served["WNSettings.dct"] = resource_;
        root_ = tree_.Keep(tree_.Dict({{age_, HostTree::Int(10)}}, 1));
        HxPublishValue(resource_, root_);
    }

    // The application port's binds (30040) and releases (30041) in order, as "+name" and "-name".
    std::vector<std::string> Bindings() const {
        std::vector<std::string> seen;
        for (const HostRequest& r : host_.Requests(atoms::AppPort)) {
            const char* sign = EDictGetType(&r.record) == code::kStart ? "+" : "-";
            seen.push_back(sign + std::to_string(EDictGetShort(&r.record, atoms::NAME)));
        }
        return seen;
    }
};

TEST_F(ReaderRequests, UnknownFilesFailAndOpenBindsTheLoadedResourceAndEachRebindCloseOrEndReleases) {
    {
        DataDictReader lost;
        EXPECT_FALSE(lost.Open("Nowhere.dct"));
        EXPECT_EQ(lost.Name(), 0);
        EXPECT_TRUE(Bindings().empty());
        lost.SetName("DctNoSuchSprite");
        EXPECT_EQ(lost.Name(), Atom("DctNoSuchSprite"));
        EXPECT_FALSE(lost.Bind());
        EXPECT_EQ(lost.Data(), nullptr);
    }
    host_.Forget();
    {
        DataDictReader reader;
        ASSERT_TRUE(reader.Open("WNSettings.dct"));
        EXPECT_EQ(reader.Name(), resource_);
        EXPECT_EQ(reader.Data(), root_);
        EXPECT_EQ(reader.GetLong(age_, DataDictReader::kPlain), 10);
        ASSERT_TRUE(reader.Bind());
        reader.Close();
        EXPECT_EQ(reader.Data(), nullptr);
    }
    { DataDictReader never; }
    const std::string bound = "+" + std::to_string(resource_), released = "-" + std::to_string(resource_);
    EXPECT_EQ(Bindings(), (std::vector<std::string>{bound, released, bound, released, released, "-0"}));
    EXPECT_EQ(host_.Posted(atoms::AppPort).size(), 4u) << "releases are posted";
}

}  // namespace
