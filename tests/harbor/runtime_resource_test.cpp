// ResPort's data dictionary files and their binding on AppPort, as the module's reader uses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harbor_test_support.h"
#include "request_builder.h"
#include "base/trace_log.h"
#include "services/resource_service.h"

using harbor_test::A;
using harbor_test::Req;

namespace {

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        harbor::TraceLog::Instance().SetSink([this](std::string_view line) { notes_.emplace_back(line); });
        harbor_test::WriteFile(dir_.Path() / "Colors.dct", R"({ "COLOR": "blue", "SIZE": 3 })");
        harbor_test::WriteFile(dir_.Path() / "Broken.dct", "{ \"COLOR\": ");
        service_ = std::make_unique<harbor::ResourceService>(dir_.Path(), store_);
    }
    void TearDown() override {
        service_.reset();
        harbor::TraceLog::Instance().SetSink(nullptr);
        HxReset();
    }

    // The reader's open: 30013 to ResPort, answer NAME (0 when none).
    uint16_t Open(const char* file) {
        EDict r = Req(30013).Text("XFILE", file).Atom("TYPE", "DATADICT").To(A("ResPort"));
        return EDictHasKey(&r, A("NAME")) ? EDictGetShort(&r, A("NAME")) : 0;
    }
    // The reader's bind: 30013 NAME to AppPort, then PSGet.
    const HostValue* Bind(uint16_t name) {
        Req(30013).Atom("NAME", name).SendTo(A("AppPort"));
        HostValue key{0, HostValueName, 1, name};
        return PSGet(&key);
    }
    // The reader's close: 30059 NAME posted to AppPort.
    void Close(uint16_t name) {
        Req(30059).Atom("NAME", name).PostTo(A("AppPort"));
        HxRunUntilIdle();
    }
    bool Noted(const std::string& part) const {
        return std::any_of(notes_.begin(), notes_.end(), [&](const std::string& l) { return l.find(part) != l.npos; });
    }

    harbor_test::TempDir dir_;
    harbor::DataDictStore store_;
    std::unique_ptr<harbor::ResourceService> service_;
    std::vector<std::string> notes_;
};

// Each reader's load is released once; a release too many changes nothing.
TEST_F(ResourceTest, LoadAnswersTheFileNamesAtomBindGivesTheTreeAndEachLoadIsReleasedOnce) {
    const uint16_t name = Open("Colors.dct");
    ASSERT_EQ(name, A("Colors.dct"));
    ASSERT_EQ(Open("Colors.dct"), name);
    const HostValue* root = Bind(name);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->type, HostValueDictionary);
    Close(name);
    EXPECT_NE(Bind(name), nullptr);  // the second reader still has it
    Close(name);
    EXPECT_EQ(service_->Loads(name), 0u);
    EXPECT_EQ(Bind(name), nullptr);
    Close(name);
    EXPECT_EQ(store_.Size(), 0u);
}

TEST_F(ResourceTest, MissingDamagedAndOutsideFilesAnswerNoNameAndAreNoted) {
    EXPECT_EQ(Open("Absent.dct"), 0);
    EXPECT_TRUE(Noted("cannot load data dictionary \"Absent.dct\""));
    EXPECT_EQ(Open("Broken.dct"), 0);
    EXPECT_TRUE(Noted("cannot load data dictionary \"Broken.dct\": "));
    EXPECT_TRUE(Noted("Broken.dct:1:"));  // the parser's position
    // Names reaching outside the content folder are refused.
    harbor_test::WriteFile(dir_.Path() / "sub" / "Inner.dct", "{}");
    for (const char* file : {"../Colors.dct", "sub/Inner.dct", "/etc/passwd", "..", ""}) {
        EXPECT_EQ(Open(file), 0) << file;
    }
    EXPECT_TRUE(Noted("refused data dictionary name \"../Colors.dct\""));
    EXPECT_EQ(store_.Size(), 0u);
}

TEST_F(ResourceTest, OtherRequestsAndNamesAreLeftToOtherServices) {
    EDict sprite = Req(30013).Text("XFILE", "Colors.dct").Atom("TYPE", "SPRITE").To(A("ResPort"));
    EXPECT_FALSE(EDictHasKey(&sprite, A("NAME")));

    // A dictionary published by someone else (a scene's sprite) survives a module's close.
    auto dict = std::make_unique<harbor::DataDict>();
    dict->SetRoot(harbor::DataDict::Integer(7));
    ASSERT_TRUE(store_.Publish(A("DctFkSprite"), std::move(dict)));
    EXPECT_NE(Bind(A("DctFkSprite")), nullptr);
    Close(A("DctFkSprite"));
    EXPECT_NE(Bind(A("DctFkSprite")), nullptr);
    EXPECT_TRUE(notes_.empty());
}

}  // namespace
