// The text form of data dictionaries: every kind of value, the shape of the tree the module
// reads (capacities, spare pairs, stable nodes), and errors that name the line and column.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "data_dict_test_support.h"
#include "datadict/data_dict_parser.h"

namespace {

using harbor::DataDictResult;
using harbor::ParseDataDict;
using harbor_test::Atom;
using harbor_test::Element;
using harbor_test::Lookup;
using harbor_test::NameOf;
using harbor_test::TextOf;

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

    const HostValue* effect = Lookup(root, "Effect");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->type, HostValueName);
    EXPECT_EQ(effect->count, 1);
    EXPECT_EQ(effect->payload, Atom("Up"));
    EXPECT_EQ(Lookup(root, "Title")->type, HostValueText);
    EXPECT_EQ(TextOf(Lookup(root, "Title")), "Stamps");
    EXPECT_EQ(TextOf(Lookup(root, "Mail")), "@kite") << "a doubled @ is a literal @";
    EXPECT_EQ(TextOf(Lookup(root, "At")), "a@b");
    EXPECT_EQ(TextOf(Lookup(root, "Empty")), "");

    // Numbers and truth values are integers; negative ones keep their bits.
    const std::pair<const char*, uint32_t> integers[] = {
        {"Small", 0xFFFFFFFBu}, {"Least", 0x80000000u}, {"Most", 0xFFFFFFFFu}, {"Yes", 1u}, {"No", 0u}};
    for (const auto& [key, bits] : integers) {
        EXPECT_EQ(Lookup(root, key)->type, HostValueInteger) << key;
        EXPECT_EQ(Lookup(root, key)->count, 1) << key;
        EXPECT_EQ(Lookup(root, key)->payload, bits) << key;
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
    const HostPairBlock* block = harbor_test::Block(root);
    EXPECT_EQ(block->count, 3u);
    EXPECT_EQ(block->reserved, 0u);
    EXPECT_EQ(harbor::PairAt(block, 0)->key.payload, Atom("C"));
    EXPECT_EQ(harbor::PairAt(block, 1)->key.payload, Atom("A"));
    EXPECT_EQ(harbor::PairAt(block, 2)->key.type, HostValueName);
    EXPECT_EQ(harbor::PairAt(block, 2)->key.count, 1);
    HostPair zero{};
    for (std::size_t i = 3; i < root->count; ++i) {
        EXPECT_EQ(std::memcmp(harbor::PairAt(block, i), &zero, sizeof zero), 0) << "pair " << i;
    }
    const HostValue* empty = Lookup(root, "B");
    EXPECT_EQ(empty->count, harbor::kSparePairs) << "an empty dictionary still has room";
    EXPECT_EQ(harbor_test::Block(empty)->count, 0u);
}

TEST(DataDictParserTest, NodesStayPutWhenTheTreeMoves) {
    DataDictResult result = Parse(R"({"List": ["one", "two"]})");
    ASSERT_TRUE(result) << result.error;
    HostValue* root = result.dict->Root();
    harbor::DataDict moved = std::move(*result.dict);
    result.dict.reset();
    EXPECT_EQ(moved.Root(), root);
    EXPECT_EQ(TextOf(Element(Lookup(moved.Root(), "List"), 1)), "two");
}

TEST(DataDictParserTest, ReferencesAndOtherRoots) {
    DataDictResult result = Parse(R"({"Look": {"@ref": "@Roll"}, "Deep": {"@ref": [1, 2]}})");
    ASSERT_TRUE(result) << result.error;
    const HostValue* look = Lookup(result.dict->Root(), "Look");
    ASSERT_EQ(look->type, HostValueReference);
    auto* target = static_cast<const HostValue*>(HxDeref(look->payload));
    EXPECT_EQ(NameOf(target), "Roll");
    auto* deep = static_cast<const HostValue*>(HxDeref(Lookup(result.dict->Root(), "Deep")->payload));
    EXPECT_EQ(deep->type, HostValueArray);
    EXPECT_EQ(deep->count, 2);

    DataDictResult array = Parse("[1, 2, 3]");
    ASSERT_TRUE(array);
    EXPECT_EQ(array.dict->Root()->type, HostValueArray);
    DataDictResult scalar = Parse("\"@Lonely\"");
    ASSERT_TRUE(scalar);
    EXPECT_EQ(NameOf(scalar.dict->Root()), "Lonely");
}

TEST(DataDictParserTest, CommentsAndByteOrderMarkAreAccepted) {
    DataDictResult result = Parse("\xEF\xBB\xBF// settings\n{ /* port */ \"P\": 25 // smtp\n}\n");
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(Lookup(result.dict->Root(), "P")->payload, 25u);
}

TEST(DataDictParserTest, MalformedTextNamesLineAndColumn) {
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
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ErrorOf(c.text).starts_with(c.error)) << ErrorOf(c.text);
    }
    // The parser's quote of what it read spans earlier tokens and raw bytes: left out.
    EXPECT_EQ(ErrorOf("[1x]"), "t.dct:1:3: invalid literal; expected ',' or ']'");
    EXPECT_EQ(ErrorOf("[\"\xFF\"]"), "t.dct:1:3: invalid string: ill-formed UTF-8 byte");
}

TEST(DataDictParserTest, ValuesOutsideTheFormatAreErrorsAtTheirToken) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
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

}  // namespace
