// Data dictionaries: the text form (every kind of value, the tree the module reads with its
// capacities, spare pairs and stable nodes, errors at their line and column), the files (the
// default settings, errors that name the file) and the store that publishes them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "data_dict_test_support.h"
#include "datadict/data_dict_loader.h"
#include "datadict/data_dict_parser.h"
#include "datadict/data_dict_store.h"

namespace {

namespace fs = std::filesystem;
using harbor::DataDictResult;
using harbor::DataDictStore;
using harbor::ParseDataDict;
using namespace harbor_test;

DataDictResult Parse(std::string_view text, const harbor::DataDictLimits& limits = {}) {
    return ParseDataDict(text, "t.dct", limits);
}

std::string ErrorOf(std::string_view text, const harbor::DataDictLimits& limits = {}) {
    DataDictResult result = Parse(text, limits);
    EXPECT_FALSE(result) << text;
    return result.error;
}

TEST(DataDictParserTest, ValuesOfEveryKind) {
    DataDictResult result = Parse(R"({
        "Effect": "@Up",
        "Title": "Stamps",
        "Mail": "@@kite",
        "At": "a@b",
        "Empty": "",
        "Small": -5,
        "Least": -2147483648,
        "Most": 4294967295,
        "Yes": true,
        "No": false,
        "Sizes": [10, "@Down", [ ]],
        "Inner": {"X": 7}
    })");
    ASSERT_TRUE(result) << result.error;
    const HostValue* root = result.dict->Root();
    ASSERT_EQ(root->type, HostValueDictionary);

    // A doubled @ is a literal @.
    for (auto [key, text] : {std::pair{"Title", "Stamps"}, {"Mail", "@kite"}, {"At", "a@b"}, {"Empty", ""}}) {
        EXPECT_EQ(Lookup(root, key)->type, HostValueText) << key;
        EXPECT_EQ(TextOf(Lookup(root, key)), text) << key;
    }
    // Numbers and truth values are integers; negative ones keep their bits.
    const std::tuple<const char*, uint8_t, uint32_t> scalars[] = {
        {"Effect", HostValueName, A("Up")},       {"Small", HostValueInteger, 0xFFFFFFFBu},
        {"Least", HostValueInteger, 0x80000000u}, {"Most", HostValueInteger, 0xFFFFFFFFu},
        {"Yes", HostValueInteger, 1u},            {"No", HostValueInteger, 0u}};
    for (const auto& [key, type, bits] : scalars) {
        const HostValue* value = Lookup(root, key);
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(value->type, type) << key;
        EXPECT_EQ(value->count, 1) << key;
        EXPECT_EQ(value->payload, bits) << key;
    }

    const HostValue* sizes = Lookup(root, "Sizes");
    ASSERT_EQ(sizes->type, HostValueArray);
    ASSERT_EQ(sizes->count, 3);
    EXPECT_EQ(Element(sizes, 0)->payload, 10u);
    EXPECT_EQ(NameOf(Element(sizes, 1)), "Down");
    EXPECT_EQ(Element(sizes, 2)->type, HostValueArray);
    EXPECT_EQ(Element(sizes, 2)->count, 0);
    EXPECT_EQ(Lookup(Lookup(root, "Inner"), "X")->payload, 7u);
}

TEST(DataDictParserTest, DictionariesKeepZeroedSparePairsInFileOrder) {
    DataDictResult result = Parse(R"({"C": 1, "A": 2, "B": {}})");
    ASSERT_TRUE(result) << result.error;
    const HostValue* root = result.dict->Root();
    EXPECT_EQ(root->count, 3 + harbor::kSparePairs);
    const HostPairBlock* block = Block(root);
    EXPECT_EQ(block->count, 3u);
    EXPECT_EQ(block->reserved, 0u);
    EXPECT_EQ(harbor::PairAt(block, 0)->key.payload, A("C"));
    EXPECT_EQ(harbor::PairAt(block, 1)->key.payload, A("A"));
    EXPECT_EQ(harbor::PairAt(block, 2)->key.type, HostValueName);
    EXPECT_EQ(harbor::PairAt(block, 2)->key.count, 1);
    HostPair zero{};
    for (std::size_t i = 3; i < root->count; ++i) {
        EXPECT_EQ(std::memcmp(harbor::PairAt(block, i), &zero, sizeof zero), 0) << "pair " << i;
    }
    const HostValue* empty = Lookup(root, "B");
    EXPECT_EQ(empty->count, harbor::kSparePairs) << "an empty dictionary still has room";
    EXPECT_EQ(Block(empty)->count, 0u);
}

// References, behind a byte order mark and comments; the nodes stay put when the tree moves.
TEST(DataDictParserTest, ReferencesCommentsAndOtherRoots) {
    DataDictResult result = Parse("\xEF\xBB\xBF// look\n{\"Look\": {\"@ref\": \"@Roll\"}, /* list */ "
                                  "\"Deep\": {\"@ref\": [1, 2]} // end\n}\n");
    ASSERT_TRUE(result) << result.error;
    HostValue* root = result.dict->Root();
    harbor::DataDict moved = std::move(*result.dict);
    result.dict.reset();
    EXPECT_EQ(moved.Root(), root);
    const HostValue* look = Lookup(root, "Look");
    ASSERT_EQ(look->type, HostValueReference);
    EXPECT_EQ(NameOf(static_cast<const HostValue*>(HxDeref(look->payload))), "Roll");
    auto* deep = static_cast<const HostValue*>(HxDeref(Lookup(root, "Deep")->payload));
    EXPECT_EQ(deep->type, HostValueArray);
    EXPECT_EQ(deep->count, 2);
    EXPECT_EQ(Element(deep, 1)->payload, 2u);

    DataDictResult array = Parse("[1, 2, 3]");
    ASSERT_TRUE(array);
    EXPECT_EQ(array.dict->Root()->type, HostValueArray);
    DataDictResult scalar = Parse("\"@Lonely\"");
    ASSERT_TRUE(scalar);
    EXPECT_EQ(NameOf(scalar.dict->Root()), "Lonely");
}

TEST(DataDictParserTest, MalformedTextAndValuesOutsideTheFormatNameLineAndColumn) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"{\n  \"a\": 1\n  \"b\": 2\n}", "t.dct:3:3: unexpected string literal; expected ',' or '}'"},
        {"[1, 2 3]", "t.dct:1:7: unexpected number literal; expected ',' or ']'"},
        {"{\"a\": 1,}", "t.dct:1:9: unexpected '}'; expected string literal"},
        {"{\"a\" 1}", "t.dct:1:6: unexpected number literal; expected ':'"},
        {"{} x", "t.dct:1:4: invalid literal"},
        {"", "t.dct:1:1: unexpected end of input"},
        {"\n\n  ", "t.dct:3:3: unexpected end of input"},
        {"{\"a\": \"x\\q\"}", "t.dct:1:10: invalid string: forbidden character after backslash"},
        {"{\"a\": 1,\n \"b\": \"open\n}", "t.dct:2:12: invalid string: control character"},
        {"{\"a\": 1e999}", "t.dct:1:7: number overflow parsing '1e999'"},
        // Well-formed text holding what a data dictionary cannot: the error stands at the token.
        {"{\"a\": null}", "t.dct:1:7: null is not allowed"},
        {"{\"a\": [1,\n  2.5]}", "t.dct:2:3: floating-point number 2.5 is not allowed"},
        {"[1e3]", "t.dct:1:2: floating-point number 1e3"},
        {"[4294967296]", "t.dct:1:2: integer 4294967296 does not fit in 32 bits"},
        {"[ -2147483649]", "t.dct:1:3: integer -2147483649 does not fit in 32 bits"},
        {"[99999999999999999999]", "t.dct:1:2: integer 99999999999999999999 does not fit"},
        {"{\"a\": 1, \"a\": 2}", "t.dct:1:10: duplicate key 'a'"},
        {"{\"\": 1}", "t.dct:1:2: empty name"},
        {"[\"@\"]", "t.dct:1:2: empty name"},
        {"[\"a\\u0000b\"]", "t.dct:1:2: a text cannot hold a NUL character"},
        {"{\"k\\u0000\": 1}", "t.dct:1:2: a name cannot hold a NUL character"},
        {"{\"x\": 1, \"@ref\": 2}", "t.dct:1:10: '@ref' must be the only key"},
        {"{\"@ref\": 1, \"x\": 2}", "t.dct:1:13: '@ref' must be the only key"},
        {"{\"\xC3\xA9\": 1, \"b\": null}", "t.dct:1:15: null is not allowed"},
        {"\xEF\xBB\xBF{\"a\": /* c */ null}", "t.dct:1:15: null is not allowed"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ErrorOf(c.text).starts_with(c.error)) << ErrorOf(c.text);
    }
    // The parser's quote of what it read spans earlier tokens and raw bytes: left out.
    EXPECT_EQ(ErrorOf("[1x]"), "t.dct:1:3: invalid literal; expected ',' or ']'");
    EXPECT_EQ(ErrorOf("[\"\xFF\"]"), "t.dct:1:3: invalid string: ill-formed UTF-8 byte");
}

TEST(DataDictParserTest, NestingIsLimited) {
    std::string deepest = std::string(64, '[') + std::string(64, ']');
    EXPECT_TRUE(Parse(deepest)) << Parse(deepest).error;
    std::string too_deep = std::string(65, '[') + std::string(65, ']');
    EXPECT_EQ(ErrorOf(too_deep), "t.dct:1:65: nesting deeper than 64 levels");
    // Far deeper than any stack would survive if the parse recursed.
    std::string hostile(1'000'000, '{');
    EXPECT_TRUE(ErrorOf(hostile).starts_with("t.dct:1:")) << "objects need keys first";
    hostile.assign(1'000'000, '[');
    EXPECT_EQ(ErrorOf(hostile), "t.dct:1:65: nesting deeper than 64 levels");
}

TEST(DataDictParserTest, SizesAndNamesAreLimited) {
    std::string elements = "[";
    for (std::size_t i = 0; i < harbor::kMaxArrayElements; ++i) elements += i == 0 ? "0" : ",0";
    DataDictResult largest = Parse(elements + "]");
    ASSERT_TRUE(largest) << largest.error;
    EXPECT_EQ(largest.dict->Root()->count, harbor::kMaxArrayElements);
    EXPECT_TRUE(ErrorOf(elements + ",0]").ends_with("an array holds at most 65535 elements"));

    harbor::DataDictLimits limits;
    limits.max_bytes = 8;
    EXPECT_EQ(ErrorOf("[1, 2, 3]", limits), "t.dct: larger than the limit of 8 bytes");
    limits = {};
    limits.max_names = 2;
    EXPECT_TRUE(Parse(R"({"N1": "@N2", "N2": "@N1"})", limits));
    EXPECT_EQ(ErrorOf(R"({"N1": "@N2", "N3": 0})", limits), "t.dct:1:15: more than 2 distinct names");
}

const fs::path kSettings = fs::path(WRENMAIL_CONTENT_DIR) / "WNSettings.dct";

using DataDictLoaderTest = TempDirTest;

TEST_F(DataDictLoaderTest, DefaultSettingsLoad) {
    DataDictResult result = harbor::LoadDataDictFile(kSettings);
    ASSERT_TRUE(result) << result.error;
    const HostValue* root = result.dict->Root();
    for (const char* key : {"SIGNUPURL", "PARENTURL", "DOMAIN", "SMTPSERVER", "IMAPSERVER", "SMTPPORT", "IMAPPORT"}) {
        const HostValue* value = Lookup(root, key);
        ASSERT_NE(value, nullptr) << key;
        if (std::string_view(key).ends_with("PORT")) {
            EXPECT_EQ(value->type, HostValueInteger) << key;
            EXPECT_LE(value->payload, 65535u) << key;
        } else {
            EXPECT_EQ(value->type, HostValueText) << key;
            EXPECT_LE(TextOf(value).size(), 127u) << key << " is longer than is kept";
        }
    }
    EXPECT_EQ(TextOf(Lookup(root, "IMAPSERVER")), "") << "the default is Harbor's own post office";
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
    EXPECT_EQ(Block(root)->count, 13u);
    EXPECT_EQ(NameOf(Lookup(root, "Effect")), "Up");
    EXPECT_EQ(TextOf(Lookup(root, "Signature")), "@home");
    EXPECT_EQ(Lookup(root, "Wrap")->payload, 1u);
    EXPECT_EQ(Lookup(root, "FORMS")->count, 4);
    EXPECT_EQ(Lookup(root, "Look")->type, HostValueReference);
}

TEST_F(DataDictLoaderTest, FileErrorsNameTheFile) {
    fs::path bad = Write("bad.dct", "{\n  \"A\": 1,\n  \"B\": [2.5]\n}\n");
    EXPECT_EQ(harbor::LoadDataDictFile(bad).error,
              bad.string() + ":3:9: floating-point number 2.5 is not allowed: numbers are 32-bit integers");

    fs::path missing = dir_ / "missing.dct";
    EXPECT_EQ(harbor::LoadDataDictFile(missing).error, missing.string() + ": cannot open: No such file or directory");
    EXPECT_EQ(harbor::LoadDataDictFile(dir_).error, dir_.string() + ": not a regular file");

    fs::path big = Write("big.dct", "[" + std::string(100, ' ') + "]");
    harbor::DataDictLimits limits;
    limits.max_bytes = 64;
    EXPECT_EQ(harbor::LoadDataDictFile(big, limits).error, big.string() + ": larger than the limit of 64 bytes");
    limits.max_bytes = 102;
    EXPECT_TRUE(harbor::LoadDataDictFile(big, limits)) << "exactly at the limit is fine";
}

// The store of loaded data dictionaries: what PSGet answers while a name is held, counted holds,
// and withdrawal before a tree is freed.
class DataDictStoreTest : public TempDirTest {
protected:
    fs::path first_ = Write("first.dct", R"({"Greeting": "hello", "Count": 3})");
    fs::path second_ = Write("second.dct", R"({"Greeting": "bye"})");
    std::string error_;
};

TEST_F(DataDictStoreTest, HoldsAreCountedPerNameAndPSGetAnswersUntilTheLastRelease) {
    DataDictStore store;
    uint16_t name = A("DctStoreHeld");
    ASSERT_TRUE(store.Load(name, first_, error_)) << error_;
    HostValue* root = store.Find(name)->Root();
    EXPECT_EQ(Published(name), root);
    // A reader's INDEX write lands in the shared tree and survives the second load.
    HostPairBlock* block = static_cast<HostPairBlock*>(HxDeref(root->payload));
    harbor::PairAt(block, 1)->value.payload = 42;
    ASSERT_TRUE(store.Load(name, dir_ / "." / "first.dct", error_)) << error_;
    EXPECT_EQ(store.Holds(name), 2u);
    EXPECT_EQ(Lookup(Published(name), "Count")->payload, 42u) << "not read again";

    EXPECT_TRUE(store.Release(name));
    EXPECT_EQ(Published(name), root) << "one hold is left";
    EXPECT_TRUE(store.Release(name));
    EXPECT_EQ(Published(name), nullptr);
    EXPECT_EQ(store.Find(name), nullptr);
    EXPECT_FALSE(store.Release(name)) << "nothing left to release";
}

TEST_F(DataDictStoreTest, RefusalsLeaveThePublishedTreeAloneAndTheStoreWithdrawsItsTrees) {
    {
        DataDictStore store;
        uint16_t name = A("DctStoreB");
        ASSERT_TRUE(store.Load(name, first_, error_)) << error_;
        EXPECT_FALSE(store.Load(name, second_, error_));
        EXPECT_EQ(error_, second_.string() + ": its name is held by another dictionary");
        EXPECT_EQ(TextOf(Lookup(Published(name), "Greeting")), "hello");

        auto tree = harbor::ParseDataDict("[1]", "inline");
        ASSERT_TRUE(tree);
        EXPECT_FALSE(store.Publish(name, std::move(tree.dict)));
        EXPECT_EQ(store.Holds(name), 1u);
        EXPECT_FALSE(store.Load(0, first_, error_));
        EXPECT_FALSE(store.Load(A("DctStoreMissing"), dir_ / "none.dct", error_));
        EXPECT_TRUE(error_.ends_with("none.dct: cannot open: No such file or directory")) << error_;
        EXPECT_EQ(Published(A("DctStoreMissing")), nullptr);
        EXPECT_EQ(store.Size(), 1u);

        auto scene = harbor::ParseDataDict(R"({"FORMS": ["a", "b"]})", "ScAbAddress.json");
        ASSERT_TRUE(scene) << scene.error;
        ASSERT_TRUE(store.Publish(A("DctStoreScene"), std::move(scene.dict)));
        EXPECT_EQ(Lookup(Published(A("DctStoreScene")), "FORMS")->count, 2);
    }
    EXPECT_EQ(Published(A("DctStoreScene")), nullptr);
    EXPECT_EQ(Published(A("DctStoreB")), nullptr);
}

}  // namespace
