// The common dialog's requests on the screens that show it; which buttons a notice shows, and its
// backdrop, are checked by the sign-in and scene_pictures sessions.
#include <string>
#include <vector>

#include "screens/address_book_screen.h"
#include "screens/write_screen.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

namespace sprites = atoms::dialog_sprites;

class CommonDialogTest : public ModuleTest {
protected:
    // Each dialog request at the scene, as "type sprite" pairs with its kind of delivery.
    struct Step {
        int event;
        uint16_t type;
        uint16_t sprite;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> Steps(uint16_t scene) const {
        std::vector<Step> steps;
        for (const HostRequest& r : host_.Requests(scene)) {
            const uint16_t key = EDictHasKey(&r.record, atoms::SPRITENAME) ? atoms::SPRITENAME : atoms::NAME;
            steps.push_back(Step{r.event, EDictGetType(&r.record), EDictGetShort(&r.record, key)});
        }
        return steps;
    }
    Numbers ZOf(uint16_t scene, uint16_t sprite) const {
        Numbers z;
        for (const HostRequest& r : About(scene, code::kSet, atoms::NAME, sprite)) {
            if (EDictHasKey(&r.record, atoms::Z)) z.push_back(EDictGetLong(&r.record, atoms::Z));
        }
        return z;
    }

    void SetUp() override {
        ModuleTest::SetUp();
        Start("Robin");  // on the main screen
        screen_ = wm::CurrentScreen();
        host_.Forget();
    }

    const uint16_t scene_ = atoms::ports::ScWnMain;
    const uint16_t question_ = Atom("TsQuestion");
    wm::PMScreenBase* screen_ = nullptr;
};

TEST_F(CommonDialogTest, AQuestionShowsBackdropYesNoAndTextAboveTheCover) {
    screen_->ShowDialog(wm::kDialogYesNo, question_, "Go on?");
    const int send = HxTraceSend;
    const std::vector<Step> expected = {
        {send, code::kBeforeCover, 0},        {HxTracePost, code::kStart, sprites::SptCoCover},
        {send, code::kStart, sprites::AniCoDialog}, {send, code::kSet, sprites::AniCoDialog},
        {send, code::kSet, sprites::AniCoDialog},   {send, code::kStart, sprites::BtnCoYes},
        {send, code::kSet, sprites::BtnCoYes},      {send, code::kSet, sprites::BtnCoYes},
        {send, code::kStart, sprites::BtnCoNo},     {send, code::kSet, sprites::BtnCoNo},
        {send, code::kSet, sprites::BtnCoNo},       {send, code::kStart, sprites::TxtCoDialog},
        {send, code::kSet, sprites::TxtCoDialog},   {send, code::kSet, sprites::TxtCoDialog},
        {send, code::kSet, sprites::TxtCoDialog},
    };
    EXPECT_EQ(Steps(scene_), expected);
    // The whole scene hears of the cover before it comes, at once.
    EXPECT_EQ(EDictGetLong(&host_.Requests(scene_).front().record, atoms::layout::ALL), 1);
    EXPECT_EQ(Deliveries(About(scene_, code::kStart, atoms::SPRITENAME, sprites::SptCoCover)), Lines{"post 0"});
    EXPECT_EQ(ZOf(scene_, sprites::AniCoDialog), Numbers{2});
    EXPECT_EQ(ZOf(scene_, sprites::BtnCoYes), Numbers{1});
    EXPECT_EQ(ZOf(scene_, sprites::TxtCoDialog), Numbers{1});
    const auto yes = About(scene_, code::kStart, atoms::SPRITENAME, sprites::BtnCoYes);
    EXPECT_EQ(EDictGetLong(&yes[0].record, atoms::X), 0);
    EXPECT_TRUE(EDictHasKey(&yes[0].record, atoms::Y));
    const auto text = About(scene_, code::kSet, atoms::NAME, sprites::TxtCoDialog);
    EXPECT_STREQ(EDictGetText(&text.back().record, atoms::TEXT), "Go on?");
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, question_);
}

TEST_F(CommonDialogTest, ClosingHidesAllFiveSpritesThenTheCoverAndKeepsTheName) {
    screen_->ShowDialog(wm::kDialogOk, question_, "Done.");
    host_.Forget();
    screen_->CloseDialog(sprites::BtnCoOk);
    const std::vector<Step> expected = {
        {HxTraceSend, code::kStop, sprites::AniCoDialog}, {HxTraceSend, code::kStop, sprites::BtnCoYes},
        {HxTraceSend, code::kStop, sprites::BtnCoNo},     {HxTraceSend, code::kStop, sprites::BtnCoOk},
        {HxTraceSend, code::kStop, sprites::TxtCoDialog}, {HxTraceSend, code::kAfterCover, 0},
        {HxTracePost, code::kStop, sprites::SptCoCover},
    };
    EXPECT_EQ(Steps(scene_), expected);
    EXPECT_EQ(Deliveries(About(scene_, code::kStop, atoms::NAME, sprites::SptCoCover)), Lines{"post 0"});
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, question_);
}

TEST_F(CommonDialogTest, WriteScreenHidesTheSubjectFieldWhileADialogIsUp) {
    wm::PMScreenBase* write = wm::Screens().At(wm::kWriteSlot);
    const uint16_t subject = Atom("EdtWrSubject");
    write->ShowDialog(wm::kDialogOk, question_, "Saved.");
    write->CloseDialog(sprites::BtnCoOk);
    EXPECT_EQ(Shorts(host_.Requests(atoms::ports::ScWrWrite), atoms::NAME).front(), subject) << "hidden first";
    EXPECT_EQ(Longs(About(atoms::ports::ScWrWrite, code::kSet, atoms::NAME, subject), atoms::VISIBLE), (Numbers{0, 1}));
}

TEST_F(CommonDialogTest, AddressBookMovesTheDialogIntoItsSmallerScene) {
    wm::PMScreenBase* book = wm::Screens().At(wm::kAddressSlot);
    const uint16_t scene = atoms::ports::ScAbAddress;
    book->ShowDialog(wm::kDialogOk, question_, "Empty.");
    const auto moves = host_.Requests(scene, code::kMove);
    EXPECT_EQ(Shorts(moves, atoms::NAME), (Atoms{sprites::AniCoDialog, sprites::BtnCoOk, sprites::TxtCoDialog}));
    EXPECT_EQ(Longs(moves, atoms::X), (Numbers{-115, -115, 75}));
    EXPECT_EQ(About(scene, code::kSet, atoms::NAME, Atom("EdtAbName")).size(), 1u);
    book->CloseDialog(sprites::BtnCoOk);
    EXPECT_EQ(Longs(About(scene, code::kSet, atoms::NAME, Atom("EdtAbEmail")), atoms::VISIBLE), (Numbers{0, 1}));
}

}  // namespace
