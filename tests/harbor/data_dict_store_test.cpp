// The store of loaded data dictionaries: what PSGet answers while a name is held, counted holds,
// and withdrawal before a tree is freed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data_dict_test_support.h"
#include "datadict/data_dict_store.h"

namespace {

namespace fs = std::filesystem;
using harbor::DataDictStore;
using harbor_test::Atom;
using harbor_test::Lookup;
using harbor_test::TextOf;

const HostValue* Published(const char* name) {
    HostValue key{0, HostValueName, 1, Atom(name)};
    return PSGet(&key);
}

class DataDictStoreTest : public harbor_test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        first_ = Write("first.dct", R"({"Greeting": "hello", "Count": 3})");
        second_ = Write("second.dct", R"({"Greeting": "bye"})");
    }

    fs::path first_;
    fs::path second_;
    std::string error_;
};

TEST_F(DataDictStoreTest, LoadedTreeIsAnsweredByPSGetUntilReleased) {
    DataDictStore store;
    ASSERT_TRUE(store.Load(Atom("DctStoreA"), first_, error_)) << error_;
    const HostValue* root = Published("DctStoreA");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root, store.Find(Atom("DctStoreA"))->Root());
    EXPECT_EQ(TextOf(Lookup(root, "Greeting")), "hello");
    EXPECT_EQ(Lookup(root, "Count")->payload, 3u);

    EXPECT_TRUE(store.Release(Atom("DctStoreA")));
    EXPECT_EQ(Published("DctStoreA"), nullptr);
    EXPECT_EQ(store.Find(Atom("DctStoreA")), nullptr);
    EXPECT_FALSE(store.Release(Atom("DctStoreA"))) << "nothing left to release";
}

TEST_F(DataDictStoreTest, HoldsAreCountedPerName) {
    DataDictStore store;
    uint16_t name = Atom("DctStoreHeld");
    ASSERT_TRUE(store.Load(name, first_, error_)) << error_;
    HostValue* root = store.Find(name)->Root();
    // A reader's INDEX write lands in the shared tree and survives the second load.
    HostPairBlock* block = static_cast<HostPairBlock*>(HxDeref(root->payload));
    harbor::PairAt(block, 1)->value.payload = 42;
    ASSERT_TRUE(store.Load(name, dir_ / "." / "first.dct", error_)) << error_;
    EXPECT_EQ(store.Holds(name), 2u);
    EXPECT_EQ(Lookup(Published("DctStoreHeld"), "Count")->payload, 42u) << "not read again";

    EXPECT_TRUE(store.Release(name));
    EXPECT_EQ(Published("DctStoreHeld"), root) << "one hold is left";
    EXPECT_TRUE(store.Release(name));
    EXPECT_EQ(Published("DctStoreHeld"), nullptr);
}

TEST_F(DataDictStoreTest, RefusalsLeaveThePublishedTreeAlone) {
    DataDictStore store;
    uint16_t name = Atom("DctStoreB");
    ASSERT_TRUE(store.Load(name, first_, error_)) << error_;
    EXPECT_FALSE(store.Load(name, second_, error_));
    EXPECT_EQ(error_, second_.string() + ": its name is held by another dictionary");
    EXPECT_EQ(TextOf(Lookup(Published("DctStoreB"), "Greeting")), "hello");

    auto tree = harbor::ParseDataDict("[1]", "inline");
    ASSERT_TRUE(tree);
    EXPECT_FALSE(store.Publish(name, std::move(tree.dict)));
    EXPECT_EQ(store.Holds(name), 1u);

    EXPECT_FALSE(store.Load(0, first_, error_));
    EXPECT_FALSE(store.Load(Atom("DctStoreMissing"), dir_ / "none.dct", error_));
    EXPECT_TRUE(error_.ends_with("none.dct: cannot open: No such file or directory")) << error_;
    EXPECT_EQ(Published("DctStoreMissing"), nullptr);
    EXPECT_EQ(store.Size(), 1u);
}

TEST_F(DataDictStoreTest, PublishedTreesAreWithdrawnWhenTheStoreGoes) {
    {
        DataDictStore store;
        auto scene = harbor::ParseDataDict(R"({"TEMPLATE": ["@Name"], "FORMS": ["a", "b"]})",
                                           "ScAbAddress.json");
        ASSERT_TRUE(scene) << scene.error;
        ASSERT_TRUE(store.Publish(Atom("DctStoreScene"), std::move(scene.dict)));
        ASSERT_TRUE(store.Load(Atom("DctStoreFile"), second_, error_)) << error_;
        const HostValue* forms = Lookup(Published("DctStoreScene"), "FORMS");
        ASSERT_NE(forms, nullptr);
        EXPECT_EQ(forms->count, 2);
    }
    EXPECT_EQ(Published("DctStoreScene"), nullptr);
    EXPECT_EQ(Published("DctStoreFile"), nullptr);
}

}  // namespace
