// A rich text on a screen: the document, painted by the module on a host sprite, with a blinking
// text cursor sprite, editing by keyboard and mouse, and the editor's scroll buttons.
#ifndef WRENMAIL_CONTROLS_RICH_TEXT_VIEW_H
#define WRENMAIL_CONTROLS_RICH_TEXT_VIEW_H

#include <cstdint>
#include <memory>

#include "controls/rich_cursor.h"
#include "controls/rich_layout.h"
#include "controls/rich_text_keys.h"
#include "edict.h"
#include "richtext/rich_document.h"

namespace wm {

class RichTextView {
public:
    // Shows the sprite (on the scene port `port`) and the cursor sprite; the cursor starts
    // blinking through WritePort.
    RichTextView(uint16_t port, uint16_t sprite);
    // Stops the sprite; the images still in the text lose their host instances.
    ~RichTextView();
    RichTextView(const RichTextView&) = delete;
    RichTextView& operator=(const RichTextView&) = delete;

    void LoadTaggedBodyText(const char* text) { document_.LoadTaggedBodyText(text); }
    void LoadPlainBodyText(const char* text) { document_.LoadPlainBodyText(text); }
    const char* ProduceTaggedBodyText() { return document_.ProduceTaggedBodyText(); }
    const char* ProducePlainBodyText() { return document_.ProducePlainBodyText(); }

    // A stamp at the cursor (its size asked of the host), then a space after it.
    bool InsertImageAtCursor(uint16_t source, const char* name_text);

    void SetTextMode();
    void SetGraphicMode();
    bool TextMode() const { return layout_->Mode() == RichMode::Text; }

    void Focus();
    void Unfocus();
    bool Focused() const { return focused_ != 0; }
    void SetReadOnly(bool read_only);
    bool ReadOnly() const { return read_only_ != 0; }

    // Shows the text from line n on (printing pages through it); the next paint keeps the lines.
    void ShowFromLine(uint32_t number) { layout_->ShowFromLine(number); }
    uint32_t VisibleCount() const { return layout_->VisibleCount(); }
    uint32_t LineCount() const { return layout_->LineCount(); }
    bool NeedsPaint() const { return document_.Modified() || layout_->NeedsPaint(); }

    // Keys, clicks, the editor buttons, sprite readiness, draw requests and cursor blinks; true
    // when the message was taken.
    bool HandleMessage(EDict* record);

    RichDocument& Document() { return document_; }
    RichLayout& Layout() { return *layout_; }
    RichCursor& Cursor() { return layout_->Cursor(); }
    uint16_t Port() const { return port_; }
    uint16_t Sprite() const { return sprite_; }

private:
    void SetMode(RichMode mode);
    bool OnButton(const EDict* record);
    bool OnPress(const EDict* record);
    bool OnSpriteReady(const EDict* record);

    uint8_t focused_ = 0;
    uint8_t read_only_ = 0;
    RichDocument document_;
    std::unique_ptr<RichLayout> layout_;
    uint16_t port_;
    uint16_t sprite_;
    RichTextKeys keys_;
};

}  // namespace wm

#endif
