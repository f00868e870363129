// ResPort's data dictionary files and their binding on AppPort, as the module's reader uses them;
// trace lines: records decoded with atom names, notes, and which ports are left out; the
// settings' web addresses and the words and pictures of the pages they name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data_dict_test_support.h"
#include "harbor_test_support.h"
#include "request_builder.h"
#include "base/trace_log.h"
#include "runtime/record_format.h"
#include "runtime/record_tracer.h"
#include "services/page_text.h"
#include "services/resource_service.h"
#include "services/web_address.h"

using harbor_test::A;
using harbor_test::ReadFile;
using harbor_test::Record;
using harbor_test::Req;

namespace {

// A fresh message system whose trace lines are kept in notes_.
class TracedTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        harbor::TraceLog::Instance().SetSink([this](std::string_view line) { notes_.emplace_back(line); });
    }
    void TearDown() override {
        harbor::TraceLog::Instance().SetSink(nullptr);
        HxReset();
    }
    std::vector<std::string> notes_;
};

class ResourceTest : public TracedTest {
protected:
    void SetUp() override {
        TracedTest::SetUp();
        harbor_test::WriteFile(dir_.Path() / "Colors.dct", R"({ "COLOR": "blue", "SIZE": 3 })");
        harbor_test::WriteFile(dir_.Path() / "Broken.dct", "{ \"COLOR\": ");
        service_ = std::make_unique<harbor::ResourceService>(dir_.Path(), store_);
    }
    void TearDown() override {
        service_.reset();
        TracedTest::TearDown();
    }

    // The reader's open: 30013 to ResPort, answer NAME (0 when none).
    uint16_t Open(const char* file) {
        EDict r = Req(30013).Text("XFILE", file).Atom("TYPE", "DATADICT").To(A("ResPort"));
        return EDictHasKey(&r, A("NAME")) ? EDictGetShort(&r, A("NAME")) : 0;
    }
    // The reader's bind: 30013 NAME to AppPort, then PSGet.
    const HostValue* Bind(uint16_t name) {
        Req(30013).Atom("NAME", name).SendTo(A("AppPort"));
        return harbor_test::Published(name);
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

TEST(RecordFormatTest, EachKindOfValueAsPeopleReadIt) {
    EDict r = Record(30013);
    EDictPutShort(&r, A("NAME"), A("ScCsSignIn"));
    EDictPutShort(&r, A("COUNT"), 65000);  // no atom of that number: the number
    EDictPutLong(&r, A("X"), -12);
    EDictPutText(&r, A("TEXT"), "say \"hi\"\n");
    EDictPutText(&r, A("STRING"), nullptr);
    EDictPutHandle(&r, A("HANDLE"), 4000000000u);
    EDictPutFloat(&r, A("SPEED"), 1.5f);
    EXPECT_EQ(harbor::FormatRecord(r),
              "30013 NAME=ScCsSignIn COUNT=65000 X=-12 TEXT=\"say \\\"hi\\\"\\n\" STRING=null HANDLE=4000000000 "
              "SPEED=1.5");

    // Action types by name, long texts cut.
    EDict action = Record(A("aWrenmailGetMail"));
    const std::string long_text(100, 'w');
    EDictPutText(&action, A("TEXT"), long_text.c_str());
    EXPECT_EQ(harbor::FormatRecord(action), "aWrenmailGetMail TEXT=\"" + std::string(harbor::kTracedTextLimit, 'w') + "\"...");
    EXPECT_EQ(harbor::FormatType(30093), "30093");
}

using TracerTest = TracedTest;

TEST_F(TracerTest, SendsPostsAndDeliveriesAreTracedTimerPortsOnlyWhenAsked) {
    {
        harbor::RecordTracer tracer(false);
        EDict r = Record(30059);
        HxPortSend(A("AppPort"), &r);
        HxPortPost(A("TimerPortTick"), &r, 0);
        HxPortPost(A("PM"), &r, 5);
        HxAdvanceTime(5);
        harbor::TraceNote("ResPort", "a note");
    }
    EXPECT_EQ(notes_, (std::vector<std::string>{
                          "[       0] send    AppPort            30059",
                          "[       0] post+5  PM                 30059",
                          "[       5] deliver PM                 30059",
                          "[       5] note    ResPort            a note",
                      }));
    notes_.clear();
    harbor::RecordTracer tracer(true);
    EDict r = Record(30040);
    HxPortPost(A("TimerPortTick"), &r, 0);
    EXPECT_EQ(notes_, std::vector<std::string>{"[       5] post+0  TimerPortTick      30040"});
}

// Pages shipped in the content folder become file addresses a browser opens; harbor's own viewer
// reads their words and where their pictures stand.
TEST(WebAddressTest, APageOfTheContentFolderBecomesAFileAddressAndBack) {
    const std::string page = harbor::ResolveAddress("pages/a page é.html", "/opt/wren mail/content");
    EXPECT_EQ(page, "file:///opt/wren%20mail/content/pages/a%20page%20%C3%A9.html");
    EXPECT_EQ(harbor::LocalFile(page), "/opt/wren mail/content/pages/a page é.html");
    for (const char* kept : {"https://example.org/signup", "mailto:gran@example.org", "file:///tmp/x.html", ""}) {
        EXPECT_EQ(harbor::ResolveAddress(kept, "/c"), kept);
    }
    EXPECT_EQ(harbor::LocalFile("https://example.org/x"), "");
    EXPECT_EQ(harbor::LocalFile("file:///a%2"), "/a%2");  // a cut escape stays as written
}

TEST(WebAddressTest, TheDefaultSettingsOpenPagesShippedWithTheProgram) {
    const std::filesystem::path content = HARBOR_CONTENT_DIR;
    const std::string settings = ReadFile(content / "WNSettings.dct");
    for (const char* key : {"\"SIGNUPURL\": \"", "\"PARENTURL\": \""}) {
        const std::size_t at = settings.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t start = at + std::string(key).size();
        const std::string address = settings.substr(start, settings.find('"', start) - start);
        const std::filesystem::path file = harbor::LocalFile(harbor::ResolveAddress(address, content));
        ASSERT_TRUE(std::filesystem::is_regular_file(file)) << address;
        const harbor::PageText words = harbor::ReadPageText(ReadFile(file));
        EXPECT_FALSE(words.title.empty()) << address;
        EXPECT_NE(words.text.find("harbor account add"), std::string::npos) << address;
        EXPECT_EQ(words.text.find('<'), std::string::npos) << address;
    }
}

TEST(PageTextTest, KeepsWhatAPersonReadsAndSurvivesBrokenPages) {
    const harbor::PageText page = harbor::ReadPageText(
        "<html><head><title>T</title><style>p { color: red }</style></head><body>"
        "<h1>Hello &amp; welcome</h1><p>One   two\nthree</p><ul><li>a</li><li>b</li></ul>"
        "<pre>x  y\nz</pre><script>alert(1)</script><p>fish &chips; &lt;ok&gt;</p></body></html>");
    EXPECT_EQ(page.title, "Hello & welcome");
    EXPECT_EQ(page.text, "One two three\n\n• a\n• b\n\nx  y\nz\n\nfish &chips; <ok>");
    EXPECT_EQ(harbor::ReadPageText("<title>Only</title>plain").title, "Only");
    EXPECT_EQ(harbor::ReadPageText("text <b unclosed").text, "text");
    EXPECT_EQ(harbor::ReadPageText("<!-- never closed").text, "");
    EXPECT_EQ(harbor::ReadPageText("<style>never closed <p>x").text, "");
}

// Where a page's pictures stand in its words: harbor's page viewer draws each one at its offset.
TEST(PagePicturesTest, EachPictureStandsBeforeTheWordsThatFollowIt) {
    const harbor::PageText page = harbor::ReadPageText(
        "<header><img src=\"../art/splash.svg\" alt=\"a wren\"></header><h1><img src=title.svg>Hi</h1>"
        "<p>First words.</p><h2><img class=x SRC='stamps/bird.svg' alt=''>1. Make</h2><p>Then &amp; more"
        "<img alt=\"no source\"><img src=end.svg/></p>");
    EXPECT_EQ(page.title, "Hi");
    EXPECT_EQ(page.text, "First words.\n\n1. Make\n\nThen & more");
    ASSERT_EQ(page.pictures.size(), 3U);  // the title's picture and one without a source are left out
    EXPECT_EQ(page.pictures[0].source, "../art/splash.svg");
    EXPECT_EQ(page.pictures[0].offset, 0U);  // the blanks trimmed from the front move it back
    EXPECT_FALSE(page.pictures[0].icon);
    EXPECT_EQ(page.pictures[1].source, "stamps/bird.svg");
    EXPECT_EQ(page.text.substr(page.pictures[1].offset), "1. Make\n\nThen & more");
    EXPECT_TRUE(page.pictures[1].icon);
    EXPECT_EQ(page.pictures[2].source, "end.svg");
    EXPECT_EQ(page.pictures[2].offset, page.text.size());
    EXPECT_FALSE(page.pictures[2].icon);
}

TEST(PagePicturesTest, BrokenPictureTagsLeaveOffsetsInsideTheText) {
    for (const char* html : {"<img src=", "<img src=\"never closed", "  <p> <img src=a.svg>  </p>  ", "<img   src = b.svg >x"}) {
        const harbor::PageText page = harbor::ReadPageText(html);
        for (const harbor::PagePicture& picture : page.pictures) EXPECT_LE(picture.offset, page.text.size()) << html;
    }
    EXPECT_EQ(harbor::ReadPageText("<img   src = b.svg >x").pictures.at(0).source, "b.svg");
    EXPECT_TRUE(harbor::ReadPageText("<img srcset=a.svg>").pictures.empty());
}

}  // namespace
