// Data dictionary files: reading them, refusing what is not one, the default settings file,
// damaged files that must give errors rather than crashes, and the store that publishes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "data_dict_test_support.h"
#include "datadict/data_dict_loader.h"
#include "datadict/data_dict_store.h"

namespace {

namespace fs = std::filesystem;
using harbor::DataDictResult;
using harbor::DataDictStore;
using harbor_test::Atom;
using harbor_test::TextOf;
using harbor_test::Lookup;

const fs::path kSettings = fs::path(WRENMAIL_CONTENT_DIR) / "WNSettings.dct";

using DataDictLoaderTest = harbor_test::TempDirTest;

using harbor_test::ReadFile;

// Every payload of the tree leads somewhere: the walk touches every node, so a bad reference or
// a short block shows up under the address sanitizer.
std::size_t Walk(const HostValue* value) {
    std::size_t nodes = 1;
    if (value->type == HostValueArray) {
        for (std::size_t i = 0; i < value->count; ++i) nodes += Walk(harbor_test::Element(value, i));
    } else if (value->type == HostValueDictionary) {
        const HostPairBlock* block = harbor_test::Block(value);
        EXPECT_EQ(block->count + harbor::kSparePairs, value->count);
        for (uint32_t i = 0; i < block->count; ++i) nodes += Walk(&harbor::PairAt(block, i)->value);
    } else if (value->type == HostValueReference) {
        nodes += Walk(static_cast<const HostValue*>(HxDeref(value->payload)));
    } else if (value->type == HostValueText) {
        nodes += harbor_test::TextOf(value).size();
    }
    return nodes;
}

TEST_F(DataDictLoaderTest, DefaultSettingsLoad) {
    DataDictResult result = harbor::LoadDataDictFile(kSettings);
    ASSERT_TRUE(result) << result.error;
    const HostValue* root = result.dict->Root();
    for (const char* key : {"SIGNUPURL", "PARENTURL", "DOMAIN", "SMTPSERVER", "IMAPSERVER"}) {
        const HostValue* value = Lookup(root, key);
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(value->type, HostValueText) << key;
        EXPECT_LE(harbor_test::TextOf(value).size(), 127u) << key << " is longer than is kept";
    }
    for (const char* key : {"SMTPPORT", "IMAPPORT"}) {
        const HostValue* value = Lookup(root, key);
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(value->type, HostValueInteger) << key;
        EXPECT_LE(value->payload, 65535u) << key;
    }
    EXPECT_EQ(harbor_test::TextOf(Lookup(root, "IMAPSERVER")), "")
        << "the default is Harbor's own post office";
}

TEST_F(DataDictLoaderTest, DocumentedExampleMeansWhatItSays) {
    std::string doc = ReadFile(fs::path(WRENMAIL_DOCS_DIR) / "data-dictionary-format.md");
    std::size_t begin = doc.find("```json\n");
    ASSERT_NE(begin, std::string::npos);
    begin += 8;
    std::string example = doc.substr(begin, doc.find("```", begin) - begin);
    DataDictResult result = harbor::ParseDataDict(example, "example");
    ASSERT_TRUE(result) << result.error;
    const HostValue* root = result.dict->Root();
    EXPECT_EQ(harbor_test::Block(root)->count, 13u);
    EXPECT_EQ(harbor_test::NameOf(Lookup(root, "Effect")), "Up");
    EXPECT_EQ(harbor_test::TextOf(Lookup(root, "Signature")), "@home");
    EXPECT_EQ(Lookup(root, "Wrap")->payload, 1u);
    EXPECT_EQ(Lookup(root, "FORMS")->count, 4);
    EXPECT_EQ(Lookup(root, "Look")->type, HostValueReference);
}

TEST_F(DataDictLoaderTest, FileErrorsNameTheFile) {
    fs::path bad = Write("bad.dct", "{\n  \"A\": 1,\n  \"B\": [2.5]\n}\n");
    EXPECT_EQ(harbor::LoadDataDictFile(bad).error,
              bad.string() + ":3:9: floating-point number 2.5 is not allowed: numbers are 32-bit "
                             "integers");

    fs::path missing = dir_ / "missing.dct";
    EXPECT_EQ(harbor::LoadDataDictFile(missing).error,
              missing.string() + ": cannot open: No such file or directory");
    EXPECT_EQ(harbor::LoadDataDictFile(dir_).error, dir_.string() + ": not a regular file");

    fs::path big = Write("big.dct", "[" + std::string(100, ' ') + "]");
    harbor::DataDictLimits limits;
    limits.max_bytes = 64;
    EXPECT_EQ(harbor::LoadDataDictFile(big, limits).error,
              big.string() + ": larger than the limit of 64 bytes");
    limits.max_bytes = 102;
    EXPECT_TRUE(harbor::LoadDataDictFile(big, limits)) << "exactly at the limit is fine";
}

TEST_F(DataDictLoaderTest, TruncatedSettingsGiveErrors) {
    std::string text = ReadFile(kSettings);
    std::size_t last_brace = text.rfind('}');
    ASSERT_NE(last_brace, std::string::npos);
    for (std::size_t size = 0; size <= last_brace; ++size) {
        DataDictResult result = harbor::ParseDataDict(text.substr(0, size), "WNSettings.dct");
        ASSERT_FALSE(result) << "cut at " << size;
        EXPECT_TRUE(result.error.starts_with("WNSettings.dct:")) << result.error;
    }
    fs::path cut = Write("WNSettings.dct", text.substr(0, last_brace));
    EXPECT_TRUE(harbor::LoadDataDictFile(cut).error.starts_with(cut.string() + ":"));
}

TEST_F(DataDictLoaderTest, DamagedBytesGiveErrorsOrSoundTrees) {
    const std::string settings = ReadFile(kSettings);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    const char kJsonBytes[] = "{}[],:\"@\\0123456789-.eE \n/*truefalsenull";
    std::uniform_int_distribution<std::size_t> json_byte(0, sizeof kJsonBytes - 2);
    std::size_t parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        if (round % 3 == 0) {  // the settings with a few bytes changed
            text = settings;
            for (int i = 0; i < 1 + round % 5; ++i) {
                text[random() % text.size()] = static_cast<char>(byte(random));
            }
        } else if (round % 3 == 1) {  // random bytes
            text.resize(random() % 64);
            for (char& c : text) c = static_cast<char>(byte(random));
        } else {  // random JSON punctuation, more likely to get deep
            text.resize(random() % 256);
            for (char& c : text) c = kJsonBytes[json_byte(random)];
        }
        DataDictResult result = harbor::ParseDataDict(text, "fuzz.dct");
        if (result) {
            ++parsed;
            EXPECT_GT(Walk(result.dict->Root()), 0u);
        } else {
            EXPECT_TRUE(result.error.starts_with("fuzz.dct:")) << result.error;
        }
    }
    EXPECT_GT(parsed, 0u) << "some changes (inside comments and texts) leave a valid file";
}

// The store of loaded data dictionaries: what PSGet answers while a name is held, counted holds,
// and withdrawal before a tree is freed.
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
