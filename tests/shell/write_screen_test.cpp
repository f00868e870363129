// The write screen against the fake host, the fake file service and a mail service whose message
// objects keep their fields and parts, so that what the screen builds can be read back.
#include "screens/write_screen.h"

#include <map>
#include <string>
#include <vector>

#include "../store/store_fakes.h"
#include "controls/rich_text_view.h"
#include "shell_fixture.h"

namespace {

namespace sprites = atoms::dialog_sprites;

// Message and part objects: text and number fields and the parts added, in order.
class LetterMail {
public:
    struct Object {
        std::map<uint16_t, std::string> texts;
        std::map<uint16_t, int32_t> numbers;
        std::vector<uint32_t> parts;
        bool isPart = false;
    };

    void Install() {
        instance_ = this;
        HxPortAttach(atoms::mail::MailPort, &LetterMail::OnRequest);
    }
    uint32_t Make(bool isPart) {
        objects[++last_].isPart = isPart;
        return last_;
    }
    // The whole letter as one line: fields, then each part as "[type|body]".
    std::string Data(uint32_t handle) {
        Object& o = objects[handle];
        std::string data = "To=" + o.texts[atoms::mail::To] + ";From=" + o.texts[atoms::mail::From] +
                           ";Subject=" + o.texts[atoms::mail::Subject] + ";Date=" +
                           std::to_string(o.numbers[atoms::mail::Date]) + ";Body=" + o.texts[atoms::mail::Body];
        for (uint32_t part : o.parts) {
            data += ";[" + objects[part].texts[atoms::mail::ContentType] + "|" +
                    objects[part].texts[atoms::mail::Body] + "]";
        }
        return data;
    }
    int Messages() const {
        int n = 0;
        for (const auto& [handle, o] : objects) n += o.isPart ? 0 : 1;
        return n;
    }

    std::map<uint32_t, Object> objects;
    int messagesMade = 0;

private:
    void Handle(EDict* record) {
        const auto handle = static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Message));
        const uint16_t field = EDictKeyAt(record, 1, nullptr);
        switch (EDictGetType(record)) {
            case code::kCreate:
                if (EDictHasKey(record, atoms::mail::Part)) {
                    EDictPutHandle(record, atoms::mail::Part, Make(true));
                } else {
                    ++messagesMade;
                    EDictPutHandle(record, atoms::mail::Message, Make(false));
                }
                break;
            case code::kSet:
                if (EDictGetText(record, field) != nullptr) {
                    objects[handle].texts[field] = EDictGetText(record, field);
                } else {
                    objects[handle].numbers[field] = EDictGetLong(record, field);
                }
                break;
            case code::kAddPart:
                objects[handle].parts.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Part)));
                break;
            case code::kGet: Answer(handle, field, record); break;
            case code::kDelete: objects.erase(handle); break;
            default: break;
        }
    }
    void Answer(uint32_t handle, uint16_t field, EDict* record) {
        Object& o = objects[handle];
        if (field == atoms::mail::Index) {
            const auto index = static_cast<std::size_t>(EDictGetLong(record, atoms::mail::Index));
            EDictPutHandle(record, atoms::mail::Part, index < o.parts.size() ? o.parts[index] : 0);
        } else if (field == atoms::mail::Parts) {
            EDictPutLong(record, field, static_cast<int32_t>(o.parts.size()));
        } else if (field == atoms::mail::Data) {
            data_ = Data(handle);
            EDictPutText(record, field, data_.c_str());
        } else if (o.numbers.count(field) != 0) {
            EDictPutLong(record, field, o.numbers[field]);
        } else if (o.texts.count(field) != 0) {
            EDictPutText(record, field, o.texts[field].c_str());
        }
    }
    static bool HXCALL OnRequest(EDict* record) {
        instance_->Handle(record);
        return true;
    }

    static inline LetterMail* instance_ = nullptr;
    uint32_t last_ = 700;
    std::string data_;
};

class WriteScreenTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        files_.Install();
        mail_.Install();
        HxPortAttach(atoms::RegionalPort, &WriteScreenTest::Regional);
        HxPortAttach(atoms::ports::ScWrWrite, &WriteScreenTest::SceneTexts);
        texts_.clear();
        wm::Handover().replyPending = 0;
        wm::Handover().printing = 0;
        wm::Handover().currentMessage = 0;
    }

    void EnterAs(const char* kite) {
        Start("p7", kite, kite != nullptr ? "pw" : nullptr);
        wm::ShowScreen(atoms::ports::ScWrWrite);
        Deliver(port_, code::kEntered);
        HxAdvanceTime(100);
    }
    static wm::WriteScreen& Write() {
        return *static_cast<wm::WriteScreen*>(wm::CurrentScreen());
    }
    std::string& Field(const char* name) { return host_.editTexts[Atom(name)]; }
    // The texts the screen put into the sprite through 30052, read as they arrived.
    static std::vector<std::string> TextsSet(const char* sprite) { return texts_[Atom(sprite)]; }
    static bool HXCALL SceneTexts(EDict* record) {
        if (EDictGetType(record) == code::kSet && EDictHasKey(record, atoms::TEXT)) {
            const char* text = EDictGetText(record, atoms::TEXT);
            texts_[EDictGetShort(record, atoms::NAME)].push_back(text != nullptr ? text : "");
        }
        return false;
    }
    void ClickWrite(const char* sprite) { Click(port_, Atom(sprite)); }
    std::vector<std::string> OutBox() {
        std::vector<std::string> letters;
        for (const auto& [name, dict] : files_.At({"MailBoxes", "kiteAccounts", "ann_01", "OutBox"}).files) {
            for (const StoredEntry& entry : dict) {
                if (entry.key == atoms::mail::Message) letters.push_back(entry.text);
            }
        }
        return letters;
    }
    // A received letter as the read screen leaves it for a reply.
    uint32_t Received(const char* from, const std::vector<std::pair<std::string, std::string>>& parts,
                      const char* body) {
        const uint32_t message = mail_.Make(false);
        mail_.objects[message].texts[atoms::mail::From] = from;
        mail_.objects[message].numbers[atoms::mail::Date] = 4242;
        if (body != nullptr) mail_.objects[message].texts[atoms::mail::Body] = body;
        for (const auto& [type, text] : parts) {
            const uint32_t part = mail_.Make(true);
            mail_.objects[part].texts[atoms::mail::ContentType] = type;
            mail_.objects[part].texts[atoms::mail::Body] = text;
            mail_.objects[message].parts.push_back(part);
        }
        return message;
    }
    void PendReply(uint32_t message, const char* address, const char* subject) {
        wm::Handover().currentMessage = message;
        wm::Handover().replyPending = 1;
        wm::SetReplyText(wm::Handover().replyAddress, address);
        wm::SetReplyText(wm::Handover().replySubject, subject);
    }

    // The current date is 1000; a formatted date is "d" and its number.
    static bool HXCALL Regional(EDict* record) {
        if (EDictGetType(record) == code::kGet) {
            EDictPutLong(record, atoms::files::DATE, 1000);
            return true;
        }
        auto* buffer = static_cast<char*>(HxDeref(static_cast<uint32_t>(EDictGetLong(record, atoms::files::STRING))));
        const auto size = static_cast<size_t>(EDictGetLong(record, atoms::files::SIZE));
        if (buffer != nullptr && size == 32 && EDictGetBool(record, atoms::files::SHORTDATE)) {
            std::snprintf(buffer, size, "d%d", EDictGetLong(record, atoms::files::DATE));
        }
        return true;
    }

    static inline std::map<uint16_t, std::vector<std::string>> texts_;
    const uint16_t port_ = atoms::ports::WritePort;
    FakeFileService files_;
    LetterMail mail_;
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
    const uint32_t letter = Received("x@y", {{"text/plain", "1 < 2"}}, "own body");
    PendReply(letter, "x", "Sums");
    EnterAs("bob_02");
    EXPECT_EQ(std::string(Write().Editor()->ProducePlainBodyText()), "\r\n-------------------\r\nOn d4242 x@y wrote:\r\n1 < 2");
    EXPECT_EQ(TextsSet("EdtWrTo").back(), "x");
    EXPECT_TRUE(Write().Editor()->Focused());
    EXPECT_EQ(wm::Handover().replyPending, 0);
    EXPECT_EQ(wm::Handover().currentMessage, 0u);
    EXPECT_EQ(mail_.objects.count(letter), 1u) << "the answered letter is not the write screen's to free";
    Deliver(port_, code::kLeft);

    PendReply(mail_.Make(false), "x", "Empty");
    Deliver(port_, code::kEntered);
    EXPECT_EQ(Write().Editor()->Document().Length(), 0u);
    EXPECT_EQ(TextsSet("EdtWrSubject").back(), "re: Empty");
}

TEST_F(WriteScreenTest, DoneSavesTwoPartsToTheOutBoxWithFieldsCutToTheirRoom) {
    EnterAs("ann_01");
    Field("EdtWrTo") = "nana_07";
    Field("EdtWrSubject") = std::string(200, 'q');
    Write().Editor()->LoadTaggedBodyText("Hi <ID=\"SptCoStampCat\" NAME=\"cat\" W=32 H=32> x");
    ClickWrite("BtnWrDone");
    EXPECT_EQ(wm::CommonDialog().current, Atom("NotifySave"));
    const std::vector<std::string> letters = OutBox();
    ASSERT_EQ(letters.size(), 1u);
    EXPECT_EQ(letters[0], "To=nana_07;From=ann_01;Subject=" + std::string(127, 'q') +
                              ";Date=1000;Body=Hi cat x;[text/plain|Hi cat x];"
                              "[text/wrenmail|Hi <ID=\"SptCoStampCat\" NAME=\"cat\" W=32 H=32> x]");
    EXPECT_EQ(mail_.Messages(), 0) << "the saved message object is freed";
    ClickWrite("BtnCoOk");
    EXPECT_EQ(RequestedScene(), atoms::ports::ScWnMain);
}

TEST_F(WriteScreenTest, APlayerWithoutKiteIdIsToldItWasSavedButNothingIsStored) {
    EnterAs(nullptr);
    Field("EdtWrTo") = "bob_02";
    ClickWrite("BtnWrDone");
    EXPECT_EQ(wm::CommonDialog().current, Atom("NotifySave"));
    EXPECT_EQ(mail_.messagesMade, 0);
}

TEST_F(WriteScreenTest, PrintMakesARichOnlyCopyOnceUntilPrintingEnds) {
    EnterAs("ann_01");
    Field("EdtWrTo") = "Bob";
    Field("EdtWrSubject") = "Kites";
    Write().Editor()->LoadPlainBodyText("hello");
    ClickWrite("BtnWrPrint");
    const uint32_t copy = wm::Handover().currentMessage;
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(mail_.Data(copy), "To=Bob;From=ann_01;Subject=Kites;Date=1000;Body=;[text/wrenmail|hello]");
    EXPECT_EQ(wm::Handover().printing, 1);
    EXPECT_EQ(wm::CommonDialog().current, Atom("Printing"));
    HxAdvanceTime(1);
    EXPECT_EQ(RequestedScene(), atoms::ports::ScPrPrint);
    Write().CloseDialog(0);
    ClickWrite("BtnWrPrint");
    EXPECT_EQ(wm::Handover().currentMessage, copy) << "no second copy while printing";
    Deliver(port_, code::kLeft);
    EXPECT_EQ(mail_.objects.count(copy), 0u) << "leaving frees the copy";
    EXPECT_EQ(wm::Handover().currentMessage, 0u);
    wm::Handover().printing = 0;
}

TEST_F(WriteScreenTest, APrintedCopyIsFromTheKiteIdEvenWhenThatIsEmpty) {
    EnterAs(nullptr);
    Field("EdtWrTo") = "bob_02";
    ClickWrite("BtnWrPrint");
    const uint32_t copy = wm::Handover().currentMessage;
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(mail_.Data(copy), "To=bob_02;From=;Subject=;Date=1000;Body=;[text/wrenmail|]")
        << "the player ID never stands in for the kite ID";
    wm::Handover().printing = 0;
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

}  // namespace
