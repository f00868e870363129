#include "screens/print_screen.h"

#include <cstdio>

#include "controls/canvas_drawing.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/delivery_scope.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/screen_base.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "store/message_body.h"
#include "clients/regional_requests.h"
#include "clients/mail_requests.h"
#include "wrenmail.h"

namespace wm {

namespace {

constexpr Rgb kPaperWhite{255, 255, 255};
constexpr int32_t kPrintDelay = 1000;
constexpr int32_t kDateSize = 64;
constexpr const char* kPrintingErrorText =
    "There was an error during printing. Please make sure your printer is turned on and connected properly.";

uint16_t Scene() { return atoms::ports::ScPrPrint; }

void SetPageNumber(uint32_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
    SetSpriteText(Scene(), atoms::print::TxtPrPage, text, kSend);
}

// Loads a page decoration into the scene.
void LoadDecoration(uint16_t sprite) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, sprite);
    HxPortSend(Scene(), &record);
}

// A new, empty view on the body sprite, white as paper.
void MakeView(uint16_t sprite) {
    PrintScreenState& state = PrintScreen();
    state.view = std::make_unique<RichTextView>(Scene(), sprite);
    state.view->Layout().SetBackground(kPaperWhite);
}

// The body goes into the view as it was stored, then the view takes the display mode the read
// and write screens chose.
// A page whose scene was stopped while it asked for the letter has no view left to fill.
void FillView(const char* body, uint8_t rich) {
    if (!PrintScreen().view) return;
    RichTextView& view = *PrintScreen().view;
    if (body != nullptr) {
        if (rich != 0) {
            view.LoadTaggedBodyText(body);
        } else {
            view.LoadPlainBodyText(body);
        }
    }
    if (Handover().display_mode == 0) {
        view.SetTextMode();
    } else {
        view.SetGraphicMode();
    }
}

void HideNotice() {
    if (PMScreenBase* screen = CurrentScreen()) screen->CloseDialog(0);
}

void LeaveScene() {
    PostCloseScene(Scene(), 0);
    HideNotice();
}

// The first page: the header values and the body are all read from the message before the first
// sprite is set; the texts stay the message's own while they are shown.
void StartFirstPage() {
    HxPortAttach(atoms::TimerPortTick, &PM_PrintMessage);
    LoadDecoration(atoms::print::AniPrFirstPage);
    LoadDecoration(atoms::print::AniPrOtherPage);
    SetSpriteVisible(Scene(), atoms::print::AniPrFirstPage, false, kSend);
    SetSpriteVisible(Scene(), atoms::print::AniPrOtherPage, false, kSend);
    MakeView(atoms::print::PvtPrMessage1);
    PrintScreenState& state = PrintScreen();
    state.page_number = 1;
    state.next_top_line = 1;
    state.lines_printed = 0;
    const uint32_t message = Handover().current_message;
    if (message == 0) {
        LeaveScene();
        return;
    }
    const char* to = MailGetText(message, atoms::mail::To);
    const char* from = MailGetText(message, atoms::mail::From);
    const char* subject = MailGetText(message, atoms::mail::Subject);
    const auto date = static_cast<uint32_t>(MailGetLong(message, atoms::mail::Date));
    uint8_t rich = 0;
    const char* body = SelectMessageBody(message, &rich);
    if (to != nullptr) SetSpriteText(Scene(), atoms::print::TxtPrTo, to, kSend);
    if (from != nullptr) SetSpriteText(Scene(), atoms::print::TxtPrFrom, from, kSend);
    if (subject != nullptr) SetSpriteText(Scene(), atoms::print::TxtPrSubject, subject, kSend);
    if (date != 0) {
        char text[kDateSize] = {};
        RegionalFormatDate(date, text, kDateSize, true);
        SetSpriteText(Scene(), atoms::print::TxtPrDate, text, kSend);
    }
    SetPageNumber(state.page_number);
    FillView(body, rich);
    PostNewPrint(Scene(), kPrintDelay);
}

// The page just printed is done: the next one shows the body from the line after its last one,
// without the header. It is printed from a tick, once its view has been painted. A report that
// comes after the scene stopped has no view to follow and no scene to fill: it is dropped.
void SetUpNextPage() {
    PrintScreenState& state = PrintScreen();
    if (!state.view) return;
    ++state.page_number;
    state.lines_printed += state.view->VisibleCount();
    state.next_top_line = state.lines_printed + 1;
    state.view.reset();
    MakeView(atoms::print::PvtPrMessage2);
    uint8_t rich = 0;
    const char* body = SelectMessageBody(Handover().current_message, &rich);
    FillView(body, rich);
    for (uint16_t sprite : {atoms::print::TxtPrTo, atoms::print::TxtPrFrom, atoms::print::TxtPrSubject,
                            atoms::print::TxtPrDate, atoms::print::TxtPrToStatic, atoms::print::TxtPrFromStatic,
                            atoms::print::TxtPrSubjectStatic, atoms::print::TxtPrDateStatic,
                            atoms::print::AniPrFirstPage}) {
        SetSpriteVisible(Scene(), sprite, false, kSend);
    }
    SetSpriteVisible(Scene(), atoms::print::AniPrOtherPage, true, kSend);
    SetPageNumber(state.page_number);
    state.page_pending = 1;
}

void OnTick() {
    PrintScreenState& state = PrintScreen();
    if (state.page_pending == 0 || !state.view || state.view->NeedsPaint()) return;
    if (state.next_top_line > state.view->LineCount()) {
        LeaveScene();
    } else {
        state.view->ShowFromLine(state.next_top_line);
        PostNewPrint(Scene(), kPrintDelay);
    }
    state.page_pending = 0;
}

void OnPrintFailed() {
    LeaveScene();
    if (PMScreenBase* screen = CurrentScreen()) {
        screen->ShowDialog(kDialogOk, atoms::dialogs::PrintingError, kPrintingErrorText);
    }
}

// Only the view goes with the scene: the page counters and the pending flag are left as they are
// (a start sets the counters again). A stop the host delivers while the page is being set up
// deletes the view once that handler returns.
void Stop() {
    HxPortDetach(atoms::TimerPortTick, &PM_PrintMessage);
    RichTextView* view = PrintScreen().view.release();
    ReleaseAfterDelivery([view] { delete view; });
    Handover().printing = 0;
}

}  // namespace

PrintScreenState& PrintScreen() {
    static PrintScreenState state;
    return state;
}

bool HandlePrintMessage(EDict* record) {
    PrintScreenState& state = PrintScreen();
    if (state.view && state.view->HandleMessage(record)) return true;
    switch (EDictGetType(record)) {
        case code::kEntered: StartFirstPage(); break;
        case code::kTick: OnTick(); break;
        case code::kLeft: Stop(); break;
        case code::kPageDone:
            if (EDictGetLong(record, atoms::STATUS) != 0) {
                OnPrintFailed();
            } else {
                SetUpNextPage();
            }
            break;
        default: break;
    }
    return false;
}

}  // namespace wm
