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
#include "fake_canvas.h"
#include "controls_fixture.h"

namespace wm::testing {

class RichTextTest : public ControlsTest {
protected:
    static constexpr int32_t kLeft = 100;
    static constexpr int32_t kTop = 50;
    static constexpr int32_t kTextLeft = 103;
    static constexpr int32_t kTextTop = 53;

    void SetUp() override;
    void TearDown() override;

    // Makes the view, reports its sprite ready and gives it the focus.
    RichTextView& MakeView();
    // Sets the sprite's width for the next view or geometry report.
    void SetTextWidth(int32_t width) { text_width_ = width; }

    // One draw request on a fresh canvas; the canvas stays readable through Canvas().
    EDict Paint();
    FakeCanvas& Canvas() { return *canvas_; }

    bool Key(int32_t key, bool control = false);
    bool Char(char c);
    void Type(const std::string& text);  // '\n' types Enter
    bool Send(EDict record);
    bool Press(int32_t x, int32_t y);
    bool Button(uint16_t sprite);

    std::vector<std::pair<uint32_t, uint32_t>> Lines() const;
    // Where the cursor sprite was last moved to, (0, 0) when never.
    std::pair<int32_t, int32_t> CursorSpot() const;
    // The last VISIBLE posted for the cursor sprite; -1 when none.
    int LastCursorVisible() const;
    // The DrawText calls of the last paint, in order.
    std::vector<std::string> DrawnTexts() const;

    uint16_t sprite_ = 0;
    uint16_t wide_stamp_ = 0;   // 100 x 40
    uint16_t small_stamp_ = 0;  // 14 x 30
    std::unique_ptr<RichTextView> view_;
    std::unique_ptr<FakeCanvas> canvas_;
    int32_t text_width_ = 70;
};

}  // namespace wm::testing

#endif
