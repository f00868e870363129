// A rich text view on a fake scene: the sprite's text area is 70 wide (ten characters of the fake
// canvas) and 120 high (three lines), at (103, 53) in the scene. Stamp sources answer their size.
#ifndef WRENMAIL_TESTS_CONTROLS_RICH_TEXT_FIXTURE_H
#define WRENMAIL_TESTS_CONTROLS_RICH_TEXT_FIXTURE_H

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/rich_text_view.h"
#include "controls_fixture.h"
#include "fake_canvas.h"
#include "hxmsg.h"
#include "virtual_keys.h"

namespace wm::testing {

class RichTextTest : public ControlsTest {
protected:
    static constexpr int32_t kLeft = 100;
    static constexpr int32_t kTop = 50;
    static constexpr int32_t kTextLeft = 103;
    static constexpr int32_t kTextTop = 53;

    void SetUp() override {
        ControlsTest::SetUp();
        sprite_ = FetchAtom("PvtWrMessage");
        wide_stamp_ = FetchAtom("Wide Stamp");
        small_stamp_ = FetchAtom("Small Stamp");
    }
    void TearDown() override {
        view_.reset();
        ControlsTest::TearDown();
    }

    // Makes the view, reports its sprite ready and gives it the focus.
    RichTextView& MakeView() {
        // The scene answers rectangles: the view's sprite, and the two stamp sources by their size.
        host_.scenes.rects[sprite_] = {100, 50, 100 + 3 + text_width_, 50 + 3 + 120};
        host_.scenes.rects[wide_stamp_] = {0, 0, 100, 40};
        host_.scenes.rects[small_stamp_] = {0, 0, 14, 30};
        view_ = std::make_unique<RichTextView>(scene_, sprite_);
        Send(Named(code::kSpriteReady, sprite_));
        view_->Focus();
        return *view_;
    }
    // A fresh view with the text typed into it and painted.
    void Start(const std::string& text) {
        MakeView();
        Type(text);
        Paint();
    }
    // Sets the sprite's width for the next view or geometry report.
    void SetTextWidth(int32_t width) { text_width_ = width; }

    // One draw request on a fresh canvas; the canvas stays readable through Canvas().
    EDict Paint() {
        canvas_ = std::make_unique<FakeCanvas>(3 + text_width_, 123);
        EDict record = DrawRecord(sprite_, canvas_.get());
        EXPECT_TRUE(view_->HandleMessage(&record));
        return record;
    }
    FakeCanvas& Canvas() { return *canvas_; }

    bool Send(EDict record) { return view_->HandleMessage(&record); }
    bool Key(int32_t key, bool control = false) {
        EDict record = Record(code::kKeyPressed);
        EDictPutLong(&record, atoms::KEY, key);
        EDictPutLong(&record, atoms::CTLKEY, control ? 1 : 0);
        return Send(record);
    }
    // A key carrying the ASCII code it types.
    bool TypedKey(int32_t key, int32_t ascii) {
        EDict record = Record(code::kKeyPressed);
        EDictPutLong(&record, atoms::KEY, key);
        EDictPutLong(&record, atoms::ASCII, ascii);
        return Send(record);
    }
    // A typed character: its key (the letter's virtual key for a-z) with its ASCII code.
    bool Char(char c) {
        const int32_t ascii = static_cast<unsigned char>(c);
        return TypedKey(c >= 'a' && c <= 'z' ? c - 'a' + VKEY_A : ascii, ascii);
    }
    void Type(const std::string& text) {  // '\n' types Enter
        for (char c : text) {
            if (c == '\n') {
                Key(VKEY_ENTER);
            } else {
                Char(c);
            }
        }
    }
    bool Press(int32_t x, int32_t y) { return Send(AtPoint(Named(code::kPress, sprite_), x, y)); }
    bool Button(uint16_t sprite) { return Send(Named(code::kClick, sprite)); }

    std::vector<std::pair<uint32_t, uint32_t>> Lines() const {
        std::vector<std::pair<uint32_t, uint32_t>> lines;
        for (const LineRecord& line : view_->Layout().Lines()) lines.emplace_back(line.first, line.last);
        return lines;
    }
    // Where the cursor sprite was last moved to, (0, 0) when never.
    std::pair<int32_t, int32_t> CursorSpot() const {
        const auto moves = Host().Posted(scene_, code::kMove);
        for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
            if (EDictGetShort(&it->record, atoms::NAME) == atoms::richview::AniWrCursor) {
                return {EDictGetLong(&it->record, atoms::X), EDictGetLong(&it->record, atoms::Y)};
            }
        }
        return {0, 0};
    }
    // The last VISIBLE posted for the cursor sprite; -1 when none.
    int LastCursorVisible() const {
        const auto sets = Host().Posted(scene_, code::kSet);
        for (auto it = sets.rbegin(); it != sets.rend(); ++it) {
            if (EDictGetShort(&it->record, atoms::NAME) == atoms::richview::AniWrCursor) {
                return EDictGetBool(&it->record, atoms::VISIBLE) ? 1 : 0;
            }
        }
        return -1;
    }
    // The DrawText calls of the last paint, in order.
    std::vector<std::string> DrawnTexts() const { return canvas_->DrawnTexts(); }

    uint16_t sprite_ = 0;
    uint16_t wide_stamp_ = 0;   // 100 x 40
    uint16_t small_stamp_ = 0;  // 14 x 30
    std::unique_ptr<RichTextView> view_;
    std::unique_ptr<FakeCanvas> canvas_;
    int32_t text_width_ = 70;
};

}  // namespace wm::testing

#endif
