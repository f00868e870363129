#include "messaging/data_dict_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_tree.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "null_host.h"

namespace {

using wm::DataDictReader;

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
