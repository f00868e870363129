// The write screen against the null host, whose mail service keeps each message's fields and
// parts, so that what the screen builds can be read back; and its helpers: the address picker's
// place and paint, and the stamp panel, its four categories published as the scene's data
// dictionary sprites, the first with ten stamps, the others empty (paging, each category's place
// and the highlight are the write_stamps session's).
#include "screens/write_screen.h"

#include <cstddef>
#include <string>
#include <vector>

#include "controls/rich_text_view.h"
#include "fake_canvas.h"
#include "host_tree.h"
#include "module_test.h"
#include "screens/address_picker.h"
#include "screens/stamp_panel.h"
#include "../controls/request_fields.h"

namespace {

// A letter as the mail service gives its Data: the fields, then each part as "Part=type|body".
std::string Letter(const std::string& to, const std::string& from, const std::string& subject,
                   const std::string& body, const std::vector<std::string>& parts) {
    std::string data = FakeMailServer::DataOf(from, subject, 1000, to, body);
    for (const std::string& part : parts) data += "Part=" + part + "\n";
    return data;
}

class WriteScreenTest : public ModuleTest {
protected:
    void EnterAs(const char* kite) {
        Start("p7", kite, kite != nullptr ? "pw" : nullptr);
        wm::ShowScreen(atoms::ports::ScWrWrite);
        Deliver(port_, code::kEntered);
        HxAdvanceTime(100);
    }
    static wm::WriteScreen& Write() { return *static_cast<wm::WriteScreen*>(wm::CurrentScreen()); }
    std::string& Field(const char* name) { return host_.scenes.editTexts[Atom(name)]; }
    // The texts the screen put into the sprite through 30052, in order.
    std::vector<std::string> TextsSet(const char* sprite) { return host_.scenes.TextsOf(Atom(sprite)); }
    void ClickWrite(const char* sprite) { Click(port_, Atom(sprite)); }
    std::vector<std::string> OutBox() {
        std::vector<std::string> letters;
        for (const auto& [name, dict] : files_.At(kAnnOutBox).files) {
            for (const StoredEntry& entry : dict) {
                if (entry.key == atoms::mail::Message) letters.push_back(entry.text);
            }
        }
        return letters;
    }
    // A received letter as the read screen leaves it for a reply: its own body, then one text part.
    uint32_t Received(const char* from, const char* type, const char* text, const char* body) {
        using namespace atoms::mail;
        const uint32_t part = mail_.Add(FakeObject{{{ContentType, type}, {Body, text}}, {}, {}, true});
        return mail_.Add(FakeObject{{{From, from}, {Body, body}}, {{Date, 4242}}, {part}, false});
    }
    void PendReply(uint32_t message, const char* address, const char* subject) {
        wm::Handover().current_message = message;
        wm::Handover().reply_pending = 1;
        wm::SetReplyText(wm::Handover().reply_address, address);
        wm::SetReplyText(wm::Handover().reply_subject, subject);
    }

    const uint16_t port_ = atoms::ports::WritePort;
};

TEST(ReplyTexts, TheQuoteHeaderAndSubjectAreExactAndCutToTheirRoom) {
    EXPECT_EQ(wm::ReplyQuoteHeader("12/5/26", "ann_01@x"), "\n-------------------\nOn 12/5/26 ann_01@x wrote:\n");
    EXPECT_EQ(wm::ReplySubject("Kites"), "re: Kites");
    EXPECT_EQ(wm::ReplySubject("re: Kites"), "re: re: Kites");
    EXPECT_EQ(wm::ReplySubject(nullptr), "re: ");
    const std::string long_subject(300, 's');
    EXPECT_EQ(wm::ReplySubject(long_subject.c_str()), "re: " + std::string(123, 's'));
    EXPECT_EQ(wm::FitLetterField(long_subject.c_str()).size(), wm::kLetterFieldSize - 1);
    char buffer[wm::kReplyTextSize];
    wm::SetReplyText(buffer, long_subject.c_str());
    EXPECT_EQ(std::string(buffer), std::string(wm::kReplyTextSize - 1, 's'));
}

TEST_F(WriteScreenTest, APlainReplyBodyKeepsItsAngleBracketsAndNoBodyMeansNoHeader) {
    const uint32_t letter = Received("x@y", "text/plain", "1 < 2", "own body");
    PendReply(letter, "x", "Sums");
    EnterAs("bob_02");
    EXPECT_EQ(std::string(Write().Editor()->ProducePlainBodyText()), "\r\n-------------------\r\nOn d4242 x@y wrote:\r\n1 < 2");
    EXPECT_EQ(TextsSet("EdtWrTo").back(), "x");
    EXPECT_TRUE(Write().Editor()->Focused());
    EXPECT_EQ(wm::Handover().reply_pending, 0);
    EXPECT_EQ(wm::Handover().current_message, 0u);
    EXPECT_EQ(mail_.objects.count(letter), 1u) << "the answered letter is not the write screen's to free";
    Deliver(port_, code::kLeft);

    PendReply(mail_.Add({}), "x", "Empty");
    Deliver(port_, code::kEntered);
    EXPECT_EQ(Write().Editor()->Document().Length(), 0u);
    EXPECT_EQ(TextsSet("EdtWrSubject").back(), "re: Empty");
}

TEST_F(WriteScreenTest, DoneSavesTwoPartsToTheOutBoxWithFieldsCutToTheirRoom) {
    EnterAs("ann_01");
    Field("EdtWrTo") = "nana_07";
    Field("EdtWrSubject") = std::string(200, 'q');
    Write().Editor()->LoadTaggedBodyText("Hi <ID=\"SptCoStampCat\" NAME=\"cat\" W=32 H=32> x");
    ClickWrite("BtnWrDone");  // its notice and OK back to the mailbox: the write_reply session
    const std::vector<std::string> letters = OutBox();
    ASSERT_EQ(letters.size(), 1u);
    EXPECT_EQ(letters[0], Letter("nana_07", "ann_01", std::string(127, 'q'), "Hi cat x",
                                 {"text/plain|Hi cat x", "text/wrenmail|Hi <ID=\"SptCoStampCat\" NAME=\"cat\" W=32 H=32> x"}));
    EXPECT_EQ(mail_.Messages(), 0) << "the saved message object is freed";
}

TEST_F(WriteScreenTest, PrintMakesARichOnlyCopyOnceUntilPrintingEnds) {
    EnterAs("ann_01");
    Field("EdtWrTo") = "Bob";
    Field("EdtWrSubject") = "Kites";
    Write().Editor()->LoadPlainBodyText("hello");
    ClickWrite("BtnWrPrint");
    const uint32_t copy = wm::Handover().current_message;
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(mail_.Data(copy), Letter("Bob", "ann_01", "Kites", "", {"text/wrenmail|hello"}));
    EXPECT_EQ(wm::Handover().printing, 1);
    EXPECT_EQ(wm::CommonDialog().current, Atom("Printing"));
    HxAdvanceTime(1);
    EXPECT_EQ(RequestedScene(), atoms::ports::ScPrPrint);
    Write().CloseDialog(0);
    ClickWrite("BtnWrPrint");
    EXPECT_EQ(wm::Handover().current_message, copy) << "no second copy while printing";
    Deliver(port_, code::kLeft);
    EXPECT_EQ(mail_.objects.count(copy), 0u) << "leaving frees the copy";
    EXPECT_EQ(wm::Handover().current_message, 0u);
}

TEST_F(WriteScreenTest, APlayerWithoutKiteIdStoresNothingAndPrintsFromTheEmptyKiteId) {
    EnterAs(nullptr);
    Field("EdtWrTo") = "bob_02";
    ClickWrite("BtnWrDone");
    EXPECT_EQ(wm::CommonDialog().current, Atom("NotifySave"));
    EXPECT_EQ(mail_.created, 0) << "told it was saved, but nothing is stored";
    Write().CloseDialog(0);
    ClickWrite("BtnWrPrint");
    const uint32_t copy = wm::Handover().current_message;
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(mail_.Data(copy), Letter("bob_02", "", "", "", {"text/wrenmail|"}))
        << "the player ID never stands in for the kite ID";
}

TEST_F(WriteScreenTest, TabStripsTabsAndTheSubjectsTabGivesTheBodyTheKeyboard) {
    EnterAs("ann_01");
    Field("EdtWrTo") = "bo\tb\r\n";
    host_.Forget();
    EditKey(port_, Atom("EdtWrTo"), atoms::TAB);
    EXPECT_EQ(Field("EdtWrTo"), "bob");
    EXPECT_FALSE(Write().Editor()->Focused());

    Field("EdtWrSubject") = "\tKites\t";
    host_.Forget();
    EditKey(port_, Atom("EdtWrSubject"), atoms::TAB);
    EXPECT_EQ(Field("EdtWrSubject"), "Kites");
    EXPECT_TRUE(Write().Editor()->Focused());
    bool sceneFocus = false;
    for (const HostRequest& r : host_.Requests(atoms::ports::ScWrWrite, code::kSet)) {
        sceneFocus |= !EDictHasKey(&r.record, atoms::NAME) && EDictGetBool(&r.record, atoms::FOCUS) && r.delay == 50;
    }
    EXPECT_TRUE(sceneFocus) << "the fields let go of the keyboard";
    EditKey(port_, Atom("EdtWrTo"), atoms::FOCUS);
    EXPECT_FALSE(Write().Editor()->Focused()) << "a field taking the focus takes it from the body";
}

using wm::testing::FakeCanvas;
using wm::testing::Painted;
using wm::testing::SameColour;

TEST(AddressPicker, PaintsBlueFramedInBlackWithEachRowInsetByTwo) {
    HxReset();
    wm::PMAddressPicker picker(atoms::ports::ScWrWrite, atoms::ports::WritePort);
    EXPECT_EQ(Bounds(picker), (std::vector<uint32_t>{137, 100, 90, 150}));
    picker.AddItem("anna", 1);
    picker.AddItem("Bob", 2);
    picker.Select(1);
    FakeCanvas canvas(72, 150);
    ASSERT_TRUE(picker.Draw(canvas));
    const std::vector<Painted>& paint = canvas.Paint();
    ASSERT_GE(paint.size(), 4u);
    EXPECT_TRUE(paint[0].filled);
    EXPECT_TRUE(SameColour(paint[0].colour, wm::PMAddressPicker::kBackground));
    EXPECT_FALSE(paint[1].filled);
    EXPECT_TRUE(SameColour(paint[1].colour, wm::Rgb{0, 0, 0}));
    EXPECT_EQ(paint[1].x2, 72.0f);
    EXPECT_EQ(paint[1].y2, 150.0f);
    // Rows are 14 high (12 of text and 2): each is drawn from 2 in to 2 short of its edges.
    const uint32_t rows = picker.RowHeight();
    EXPECT_EQ((std::vector<float>{paint[2].x1, paint[2].y1, paint[2].x2, paint[2].y2}),
              (std::vector<float>{2, 2, 70, static_cast<float>(rows - 2)}));
    EXPECT_TRUE(SameColour(paint[2].colour, wm::PMAddressPicker::kBackground));
    EXPECT_EQ(paint[3].y1, static_cast<float>(rows + 2));
    EXPECT_FALSE(SameColour(paint[3].colour, wm::PMAddressPicker::kBackground)) << "the picked row stands out";
    EXPECT_FALSE(picker.Draw(canvas)) << "nothing changed: no repaint";
}

constexpr const char* kCaptions[] = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9"};
constexpr int kStamps = 10;

class StampPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        for (int n = 1; n <= 4; ++n) Publish(n, n == 1 ? kStamps : 0);
    }
    void TearDown() override {
        for (int n = 1; n <= 4; ++n) HxWithdrawValue(Dictionary(n));
        host_.Uninstall();
    }

    static uint16_t Dictionary(int n) { return wm::FetchAtomFormat("DctWrIcons%d", n); }
    static uint16_t Stamp(int j) { return wm::FetchAtomFormat("SptTestStamp%d", j); }
    void Publish(int n, int count) {
        std::vector<HostValue> forms;
        for (int j = 0; j < count; ++j) {
            forms.push_back(HostTree::Name(Stamp(j)));
            forms.push_back(HostTree::Text(kCaptions[j]));
        }
        const HostValue root = tree_.Dict({{Atom("Category"), HostTree::Text("Animals")},
                                           {Atom("TEMPLATE"), tree_.Array({HostTree::Name(Atom("image")),
                                                                            HostTree::Name(Atom("text"))})},
                                           {Atom("FORMS"), tree_.Array(std::move(forms))}},
                                          4);
        HxPublishValue(Dictionary(n), tree_.Keep(root));
    }

    // Where the first request of the type to the port naming the sprite under the key stands.
    std::ptrdiff_t First(uint16_t port, uint16_t type, uint16_t key, uint16_t sprite) const {
        const std::vector<HostRequest> all = host_.Requests(0);
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].port == port && EDictGetType(&all[i].record) == type &&
                EDictGetShort(&all[i].record, key) == sprite) {
                return static_cast<std::ptrdiff_t>(i);
            }
        }
        return -1;
    }

    NullHost host_;
    HostTree tree_;
};

TEST_F(StampPanelTest, ACategoryIsBoundBeforeItsPageSpritesAreMadeAndReleasedAfter) {
    wm::StampPanel panel(atoms::ports::ScWrWrite, nullptr);
    EXPECT_EQ(panel.Page(0).Category(), "Animals");
    EXPECT_EQ(panel.Page(0).Size(), static_cast<std::size_t>(kStamps));
    const std::ptrdiff_t bind = First(atoms::AppPort, code::kStart, atoms::NAME, Dictionary(1));
    const std::ptrdiff_t page = First(atoms::ports::ScWrWrite, code::kStart, atoms::SPRITENAME, Atom("AniWrPanel1"));
    const std::ptrdiff_t caption = First(atoms::ports::ScWrWrite, code::kStart, atoms::INAME, Atom("IconText7"));
    const std::ptrdiff_t release = First(atoms::AppPort, code::kStop, atoms::NAME, Dictionary(1));
    const std::ptrdiff_t next = First(atoms::AppPort, code::kStart, atoms::NAME, Dictionary(2));
    ASSERT_GE(bind, 0);
    EXPECT_LT(bind, page);
    EXPECT_LT(page, caption);
    EXPECT_LT(caption, release);
    EXPECT_LT(release, next);
}

TEST_F(StampPanelTest, AClickedStampGoesIntoTheBodyWithASpaceAndTheClickGoesOn) {
    wm::RichTextView editor(atoms::ports::ScWrWrite, Atom("PvtWrMessage"));
    wm::StampPanel panel(atoms::ports::ScWrWrite, &editor);
    panel.Open();
    EDict click = Named(code::kClick, Atom("SptWrIconC"));
    EXPECT_FALSE(panel.HandleMessage(&click));
    EXPECT_STREQ(editor.ProducePlainBodyText(), "c2 ");
    EXPECT_TRUE(panel.IsOpen());
}

}  // namespace
