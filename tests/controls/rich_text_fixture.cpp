#include "rich_text_fixture.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "virtual_keys.h"

namespace wm::testing {
namespace {

EDict KeyRecord(int32_t key, bool control) {
    EDict record = Record(code::kKeyPressed);
    EDictPutLong(&record, atoms::KEY, key);
    EDictPutLong(&record, atoms::CTLKEY, control ? 1 : 0);
    return record;
}

}  // namespace

void RichTextTest::SetUp() {
    ControlsTest::SetUp();
    sprite_ = FetchAtom("PvtWrMessage");
    wide_stamp_ = FetchAtom("Wide Stamp");
    small_stamp_ = FetchAtom("Small Stamp");
}

void RichTextTest::TearDown() {
    view_.reset();
    ControlsTest::TearDown();
}

RichTextView& RichTextTest::MakeView() {
    // The scene answers rectangles: the view's sprite, and the two stamp sources by their size.
    host_.scenes.rects[sprite_] = {100, 50, 100 + 3 + text_width_, 50 + 3 + 120};
    host_.scenes.rects[wide_stamp_] = {0, 0, 100, 40};
    host_.scenes.rects[small_stamp_] = {0, 0, 14, 30};
    view_ = std::make_unique<RichTextView>(scene_, sprite_);
    EDict ready = Record(code::kSpriteReady);
    EDictPutShort(&ready, atoms::NAME, sprite_);
    view_->HandleMessage(&ready);
    view_->Focus();
    return *view_;
}

EDict RichTextTest::Paint() {
    canvas_ = std::make_unique<FakeCanvas>(3 + text_width_, 123);
    EDict record = DrawRecord(sprite_, canvas_.get());
    EXPECT_TRUE(view_->HandleMessage(&record));
    return record;
}

bool RichTextTest::Send(EDict record) { return view_->HandleMessage(&record); }

bool RichTextTest::Key(int32_t key, bool control) { return Send(KeyRecord(key, control)); }

bool RichTextTest::Char(char c) {
    int32_t key = static_cast<unsigned char>(c);
    if (c >= 'a' && c <= 'z') {
        key = c - 'a' + VKEY_A;
    }
    EDict record = KeyRecord(key, false);
    EDictPutLong(&record, atoms::ASCII, static_cast<unsigned char>(c));
    return Send(record);
}

void RichTextTest::Type(const std::string& text) {
    for (char c : text) {
        if (c == '\n') {
            Key(VKEY_ENTER);
        } else {
            Char(c);
        }
    }
}

bool RichTextTest::Press(int32_t x, int32_t y) {
    EDict record = Record(code::kPress);
    EDictPutShort(&record, atoms::NAME, sprite_);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    return Send(record);
}

bool RichTextTest::Button(uint16_t sprite) {
    EDict record = Record(code::kClick);
    EDictPutShort(&record, atoms::NAME, sprite);
    return Send(record);
}

std::vector<std::pair<uint32_t, uint32_t>> RichTextTest::Lines() const {
    std::vector<std::pair<uint32_t, uint32_t>> lines;
    for (const LineRecord& line : view_->Layout().Lines()) {
        lines.emplace_back(line.first, line.last);
    }
    return lines;
}

std::pair<int32_t, int32_t> RichTextTest::CursorSpot() const {
    std::pair<int32_t, int32_t> spot{0, 0};
    for (const HostRequest& d : Host().Posted(scene_, code::kMove)) {
        if (EDictGetShort(&d.record, atoms::NAME) == atoms::richview::AniWrCursor) {
            spot = {EDictGetLong(&d.record, atoms::X), EDictGetLong(&d.record, atoms::Y)};
        }
    }
    return spot;
}

int RichTextTest::LastCursorVisible() const {
    int visible = -1;
    for (const HostRequest& d : Host().Posted(scene_, code::kSet)) {
        if (EDictGetShort(&d.record, atoms::NAME) == atoms::richview::AniWrCursor) {
            visible = EDictGetBool(&d.record, atoms::VISIBLE) ? 1 : 0;
        }
    }
    return visible;
}

std::vector<std::string> RichTextTest::DrawnTexts() const {
    std::vector<std::string> texts;
    for (const CanvasOp& op : canvas_->OpsNamed("DrawText")) {
        texts.push_back(op.text);
    }
    return texts;
}

}  // namespace wm::testing
