#include "messaging/request_builders.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "port_log.h"

namespace {

using Keys = std::vector<std::pair<uint16_t, uint16_t>>;

class RequestBuilders : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        port_ = wm::FetchAtom("BuilderTestPort");
        sprite_ = wm::FetchAtom("SptTestSprite");
    }
    void TearDown() override { HxReset(); }

    PortLog log_;
    uint16_t port_ = 0;
    uint16_t sprite_ = 0;
};

// What one builder call must produce.
struct Expected {
    int event;
    uint16_t port;
    int32_t delay;
    uint16_t type;
    Keys keys;
};

TEST_F(RequestBuilders, EachBuilderMakesItsTypeKeysAndDelivery) {
    const char* text = "Hello";
    const uint16_t app = atoms::AppPort;
    const uint16_t S = EDictShort;
    const uint16_t L = EDictLong;
    const std::vector<std::pair<std::function<void()>, Expected>> cases = {
        {[&] { wm::PostAction(port_, atoms::actions::aWrenmailGetMail, 10); },
         {HxTracePost, port_, 10, atoms::actions::aWrenmailGetMail, {}}},
        {[&] { wm::RequestScene(atoms::ports::ScWnMain, 0); },
         {HxTracePost, app, 0, code::kStart, {{atoms::NAME, S}}}},
        {[&] { wm::PostCloseScene(atoms::ports::ScAbAddress, 20); },
         {HxTracePost, app, 20, code::kStop, {{atoms::NAME, S}}}},
        {[&] { wm::PostNewPrint(port_, 1000); },
         {HxTracePost, port_, 1000, code::kPrint, {{atoms::messaging::NEWPRINT, L}, {atoms::BESTFIT, L}}}},
        {[&] { wm::ShowSprite(port_, sprite_, wm::kSend); },
         {HxTraceSend, port_, 0, code::kStart, {{atoms::SPRITENAME, S}}}},
        {[&] { wm::ShowSpriteAt(port_, sprite_, 12, -7, 0); },
         {HxTracePost, port_, 0, code::kStart, {{atoms::SPRITENAME, S}, {atoms::X, L}, {atoms::Y, L}}}},
        {[&] { wm::MoveSprite(port_, sprite_, 300, 400, wm::kSend); },
         {HxTraceSend, port_, 0, code::kMove, {{atoms::NAME, S}, {atoms::X, L}, {atoms::Y, L}}}},
        {[&] { wm::SetSpriteZ(port_, sprite_, 2, 1); },
         {HxTracePost, port_, 1, code::kSet, {{atoms::NAME, S}, {atoms::Z, L}}}},
        {[&] { wm::SetSpriteFocus(port_, 0, true, wm::kSend); },
         {HxTraceSend, port_, 0, code::kSet, {{atoms::FOCUS, L}}}},
        {[&] { wm::SetSpriteFocus(port_, sprite_, false, 50); },
         {HxTracePost, port_, 50, code::kSet, {{atoms::NAME, S}, {atoms::FOCUS, L}}}},
        {[&] { wm::SetSpriteText(port_, sprite_, text, 20); },
         {HxTracePost, port_, 20, code::kSet, {{atoms::NAME, S}, {atoms::TEXT, EDictText}}}},
        {[&] { wm::SetSpriteVisible(port_, sprite_, false, wm::kSend); },
         {HxTraceSend, port_, 0, code::kSet, {{atoms::NAME, S}, {atoms::VISIBLE, L}}}},
        {[&] { wm::HideSprite(port_, sprite_, 500); },
         {HxTracePost, port_, 500, code::kStop, {{atoms::NAME, S}}}},
        {[&] { wm::SetSpriteFX(port_, sprite_, atoms::buttons::Down, wm::kSend); },
         {HxTraceSend, port_, 0, code::kSetEffect, {{atoms::NAME, S}, {atoms::FX, S}}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        cases[i].first();
        ASSERT_EQ(log_.Requests().size(), i + 1);
        const PortEvent& made = log_.Requests().back();
        const Expected& want = cases[i].second;
        EXPECT_EQ(made.event, want.event);
        EXPECT_EQ(made.port, want.port);
        EXPECT_EQ(made.delay, want.delay);
        EXPECT_EQ(EDictGetType(&made.record), want.type);
        EXPECT_EQ(KeysOf(made.record), want.keys);
    }
}

TEST_F(RequestBuilders, BuildersCarryTheirValues) {
    const char* text = "Hello";
    wm::RequestScene(atoms::ports::ScWnMain, 0);
    wm::PostNewPrint(port_, 0);
    wm::ShowSpriteAt(port_, sprite_, 12, -7, wm::kSend);
    wm::SetSpriteText(port_, sprite_, text, wm::kSend);
    wm::SetSpriteVisible(port_, sprite_, true, wm::kSend);
    wm::SetSpriteFX(port_, sprite_, atoms::buttons::Down, wm::kSend);
    const auto& made = log_.Requests();
    ASSERT_EQ(made.size(), 6u);
    EXPECT_EQ(EDictGetShort(&made[0].record, atoms::NAME), atoms::ports::ScWnMain);
    EXPECT_EQ(EDictGetLong(&made[1].record, atoms::messaging::NEWPRINT), 1);
    EXPECT_EQ(EDictGetLong(&made[1].record, atoms::BESTFIT), 1);
    EXPECT_EQ(EDictGetShort(&made[2].record, atoms::SPRITENAME), sprite_);
    EXPECT_EQ(EDictGetLong(&made[2].record, atoms::Y), -7);
    EXPECT_EQ(EDictGetText(&made[3].record, atoms::TEXT), text);
    EXPECT_EQ(EDictGetLong(&made[4].record, atoms::VISIBLE), 1);
    EXPECT_EQ(EDictGetShort(&made[5].record, atoms::FX), atoms::buttons::Down);
}

// A scene that answers text requests the way the host does, and keeps what it is given.
const char* g_fieldText = nullptr;
std::string g_replacedText;
bool g_replaced = false;

bool HXCALL FakeScene(EDict* record) {
    const uint16_t type = EDictGetType(record);
    if (type == code::kGet || (type == code::kEditText && EDictGetLong(record, atoms::GET) == 1)) {
        EDictPutText(record, atoms::TEXT, g_fieldText);
    } else if (type == code::kEditText) {
        const char* text = EDictGetText(record, atoms::TEXT);
        g_replacedText = text != nullptr ? text : "<null>";
        g_replaced = true;
    }
    return true;
}

class TextRequests : public RequestBuilders {
protected:
    void SetUp() override {
        RequestBuilders::SetUp();
        g_fieldText = nullptr;
        g_replacedText.clear();
        g_replaced = false;
        HxPortAttach(port_, &FakeScene);
    }
};

TEST_F(TextRequests, TextGetsSendTheirKeysAndReturnTheAnswer) {
    g_fieldText = "kid@example";
    EXPECT_STREQ(wm::GetSpriteText(port_, sprite_), "kid@example");
    EXPECT_STREQ(wm::GetEditText(port_, sprite_), "kid@example");
    ASSERT_EQ(log_.Requests().size(), 2u);
    const EDict& sprite = log_.Requests()[0].record;
    const EDict& edit = log_.Requests()[1].record;
    EXPECT_EQ(log_.Requests()[0].event, HxTraceSend);
    EXPECT_EQ(EDictGetType(&sprite), code::kGet);
    EXPECT_EQ(KeysOf(sprite), (Keys{{atoms::NAME, EDictShort}, {atoms::TEXT, EDictText}}));
    EXPECT_EQ(EDictGetLong(&sprite, atoms::TEXT), 0);
    EXPECT_EQ(EDictGetType(&edit), code::kEditText);
    EXPECT_EQ(KeysOf(edit), (Keys{{atoms::GET, EDictLong}, {atoms::NAME, EDictShort}}));
    EXPECT_EQ(EDictGetLong(&edit, atoms::GET), 1);

    HxPortDetach(port_, &FakeScene);
    EXPECT_EQ(wm::GetSpriteText(port_, sprite_), nullptr);
    EXPECT_EQ(wm::GetEditText(port_, sprite_), nullptr);
}

TEST_F(TextRequests, CleanEditTextDropsTabsAndLineBreaks) {
    g_fieldText = "a\tb\r\nc";
    wm::CleanEditText(port_, sprite_);
    ASSERT_TRUE(g_replaced);
    EXPECT_EQ(g_replacedText, "abc");
    ASSERT_EQ(log_.Requests().size(), 2u);
    const EDict& replace = log_.Requests()[1].record;
    EXPECT_EQ(EDictGetType(&replace), code::kEditText);
    EXPECT_EQ(KeysOf(replace), (Keys{{atoms::NAME, EDictShort}, {atoms::TEXT, EDictText}}));

    g_fieldText = " x\ty z\n\n";
    wm::CleanEditText(port_, sprite_);
    EXPECT_EQ(g_replacedText, " xy z");
}

}  // namespace
