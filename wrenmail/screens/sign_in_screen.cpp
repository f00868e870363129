#include "screens/sign_in_screen.h"

#include <string>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/common_dialog.h"
#include "clients/host_application.h"
#include "screens/screen_registry.h"
#include "state/service_handles.h"
#include "state/settings.h"
#include "state/user_identity.h"
#include "store/header_list_builder.h"
#include "transport/connection_client.h"
#include "clients/mail_requests.h"
#include "wrenmail.h"

namespace wm {
namespace {

constexpr int32_t kAnimationTime = 5000;  // the opening and the splash each run this long
constexpr int32_t kSkipDelay = 1;         // a click ends an animation almost at once
constexpr int32_t kReminderDelay = 20;    // the exit question is gone before the reminder comes
constexpr int32_t kFailureDelay = 100;
// The fields hold at most this many characters of a kite ID or password.
constexpr std::size_t kMaxFieldText = 31;

constexpr const char* kBadEntryText = "Please enter a kite ID and password.";
constexpr const char* kCheckingText = "Checking your kite ID and password...";
constexpr const char* kConnectFailedText =
    "Error connecting to the mail server. Please check your Internet connection.";
constexpr const char* kBadUserText =
    "Error validating account.  Please check your kite ID and password and try again.  Click the "
    "'Sign Me Up' button if you don't have one.";

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == '\0';
}

std::string FullFieldText(uint16_t scene, uint16_t field) {
    const char* text = GetEditText(scene, field);
    return text != nullptr ? text : "";
}

// The identity keeps at most kMaxFieldText characters.
std::string FieldText(uint16_t scene, uint16_t field) {
    std::string value = FullFieldText(scene, field);
    if (value.size() > kMaxFieldText) {
        value.resize(kMaxFieldText);
    }
    return value;
}

}  // namespace

SignInScreen::SignInScreen() {
    SetScene(atoms::ports::ScCsSignIn);
    AddDialogButtons();
    HxPortAttach(atoms::ports::ConnectPort, &PM_Connection);
}

SignInScreen::~SignInScreen() {
    HxPortDetach(atoms::ports::ConnectPort, &PM_Connection);
}

void SignInScreen::InitNames() {
    enter_button_ = FetchAtom("BtnCsEnter");
    help_button_ = FetchAtom("BtnCsHelp");
    sign_up_button_ = FetchAtom("BtnCsSignUp");
    cancel_button_ = FetchAtom("BtnCsCancel");
    exit_button_ = FetchAtom("BtnCsExit");
    name_field_ = FetchAtom("EdtCsName");
    password_field_ = FetchAtom("EdtCsPassword");
    bad_entry_ = FetchAtom("BadEntry");
    bad_user_ = FetchAtom("BadUserDialog");
    connect_failed_ = FetchAtom("ConnectFailed");
    checking_password_ = FetchAtom("CheckingPassword");
    disconnect_reminder_ = FetchAtom("DisconnectReminder");
    opening_ = FetchAtom("AniCsOpening");
    splash_ = FetchAtom("AniCsSplash");
    show_disconnect_reminder_ = FetchAtom("aShowDisconnectReminder");
    show_no_connect_dialog_ = FetchAtom("aShowNoConnectDialog");
    show_bad_user_dialog_ = FetchAtom("aShowBadUserDialog");
    opening_done_ = FetchAtom("aOnOpeningDone");
    splash_done_ = FetchAtom("aOnSplashDone");
    SetHelpSound(FetchAtom("SndCsHelp"));
}

void SignInScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_OrbitSignIn);
    AddButton(enter_button_, true);
    AddButton(help_button_, true);
    AddButton(sign_up_button_, true);

    UserIdentity& identity = Identity();
    if (!KiteGivenAtStart()) {
        identity.ClearKiteLogin();
    }
    if (!IsEmpty(identity.GetKiteId())) {
        SetSpriteText(Scene(), name_field_, identity.GetKiteId(), kSend);
    }
    if (!IsEmpty(identity.GetPassword())) {
        SetSpriteText(Scene(), password_field_, identity.GetPassword(), kSend);
    }
    // A player can go back to the mailbox; without one the only way out is to leave.
    const bool hasPlayer = !IsEmpty(identity.GetPlayerId());
    const uint16_t wayOut = hasPlayer ? cancel_button_ : exit_button_;
    ShowSprite(Scene(), wayOut, kSend);
    AddButton(wayOut, true);

    if (!hasPlayer && opening_passed_ == 0) {
        ShowSprite(Scene(), opening_, kSend);
        PostAction(atoms::ports::OrbitSignInPort, opening_done_, kAnimationTime);
        return;
    }
    opening_passed_ = 1;
    ShowEntry();
}

void SignInScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_OrbitSignIn);
}

bool SignInScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    const uint16_t type = EDictGetType(record);
    switch (type) {
    case code::kEntered:
        Enter();
        break;
    case code::kLeft:
        Leave();
        break;
    case code::kEditKey:
        OnEditKey(EDictGetShort(record, atoms::NAME), EDictGetShort(record, atoms::KEY));
        break;
    case code::kClick:
        OnClick(EDictGetShort(record, atoms::NAME));
        break;
    default:
        OnAction(type);
        break;
    }
    return true;
}

void SignInScreen::OnEditKey(uint16_t field, uint16_t key) {
    if (entry_shown_ == 0 || (field != name_field_ && field != password_field_)) {
        return;
    }
    if (key == atoms::TAB) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), field == name_field_ ? password_field_ : name_field_, true, 0);
    } else if (key == atoms::ENTER) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), 0, true, 0);
        OnButton(enter_button_);
    }
}

void SignInScreen::OnClick(uint16_t sprite) {
    if (OnButton(sprite)) {
        return;
    }
    if (sprite == opening_) {
        PostAction(atoms::ports::OrbitSignInPort, opening_done_, kSkipDelay);
    } else if (sprite == splash_) {
        PostAction(atoms::ports::OrbitSignInPort, splash_done_, kSkipDelay);
    }
}

bool SignInScreen::OnAction(uint16_t type) {
    if (type == show_disconnect_reminder_) {
        SetFieldsVisible(false, 0);
        ShowDialog(kDialogOk, disconnect_reminder_, kDisconnectReminderText);
    } else if (type == show_no_connect_dialog_) {
        ShowNoConnectDialog();
    } else if (type == show_bad_user_dialog_) {
        ShowBadUserDialog();
    } else if (type == opening_done_) {
        OnOpeningDone();
    } else if (type == splash_done_) {
        OnSplashDone();
    } else if (type == atoms::actions::aValidateUser) {
        ValidateUser();
    } else if (type == atoms::actions::aOnConnectionFailed) {
        OnValidationFailed(0, 0);
    } else {
        return false;
    }
    return true;
}

void SignInScreen::OnOpeningDone() {
    if (opening_passed_ != 0) {
        return;
    }
    HideSprite(Scene(), opening_, kSend);
    ShowSprite(Scene(), splash_, kSend);
    PostAction(atoms::ports::OrbitSignInPort, splash_done_, kAnimationTime);
    opening_passed_ = 1;
}

void SignInScreen::OnSplashDone() {
    if (entry_shown_ != 0) {
        return;
    }
    HideSprite(Scene(), splash_, kSend);
    ShowEntry();
}

void SignInScreen::ShowEntry() {
    entry_shown_ = 1;
    ShowSprite(Scene(), name_field_, kSend);
    ShowSprite(Scene(), password_field_, kSend);
    SetSpriteFocus(Scene(), name_field_, true, 0);
}

bool SignInScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool SignInScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == ConfirmExitDialog()) {
            PostAction(atoms::ports::OrbitSignInPort, show_disconnect_reminder_, kReminderDelay);
        }
        CloseDialog(sprite);
        SetFieldsVisible(true, 0);
    } else if (sprite == sprites::BtnCoNo) {
        SetFieldsVisible(true, 0);
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoOk) {
        if (dialog == disconnect_reminder_) {
            ExitApplication();
        }
        SetFieldsVisible(true, 0);
        CloseDialog(sprite);
    } else {
        return false;
    }
    return true;
}

bool SignInScreen::OnScreenButton(uint16_t sprite) {
    if (sprite == help_button_) {
        PlayHelpSound();
    } else if (sprite == enter_button_) {
        OnEnterButton();
    } else if (sprite == cancel_button_) {
        Identity().ClearKiteLogin();
        // Afresh: the list may hold the kite account's mail, or the player's from an earlier visit.
        RebuildHeaderList();
        ShowScreen(atoms::ports::ScWnMain);
    } else if (sprite == exit_button_) {
        SetFieldsVisible(false, kSend);
        ShowDialog(kDialogYesNo, ConfirmExitDialog(), kConfirmExitText);
    } else if (sprite == sign_up_button_) {
        OpenWebAddress(AppSettings().sign_up_url.c_str());
    } else {
        return false;
    }
    return true;
}

void SignInScreen::OnEnterButton() {
    SetFieldsVisible(false, kSend);
    if (IsEmpty(GetEditText(Scene(), name_field_)) || IsEmpty(GetEditText(Scene(), password_field_))) {
        ShowDialog(kDialogOk, bad_entry_, kBadEntryText);
        return;
    }
    ShowDialog(kDialogNoButtons, checking_password_, kCheckingText);
    StartDial();
}

void SignInScreen::ValidateUser() {
    const std::string kiteId = FullFieldText(Scene(), name_field_);
    const std::string password = FullFieldText(Scene(), password_field_);
    CloseMailManager();
    const SignInAnswer answer = MailSignIn(kiteId.c_str(), password.c_str());
    Services().mail_manager = answer.manager;
    CloseDialog(0);
    SetFieldsVisible(true, 0);
    if (SignedIn(answer)) {
        OnValidated();
    } else {
        OnValidationFailed(answer.success ? 1 : 0, answer.status);
    }
}

void SignInScreen::OnValidated() {
    const std::string kiteId = FieldText(Scene(), name_field_);
    const std::string password = FieldText(Scene(), password_field_);
    Identity().SetKiteLogin(kiteId.c_str(), password.c_str());
    RebuildHeaderList();
    ShowScreen(atoms::ports::ScWnMain);
}

void SignInScreen::OnValidationFailed(uint8_t success, int32_t) {
    CloseMailManager();
    const uint16_t next = success != 0 ? show_bad_user_dialog_ : show_no_connect_dialog_;
    PostAction(atoms::ports::OrbitSignInPort, next, kFailureDelay);
}

void SignInScreen::ShowNoConnectDialog() {
    SetFieldsVisible(false, 0);
    ShowDialog(kDialogOk, connect_failed_, kConnectFailedText);
}

void SignInScreen::ShowBadUserDialog() {
    SetFieldsVisible(false, 0);
    ShowDialog(kDialogOk, bad_user_, kBadUserText);
}

void SignInScreen::SetFieldsVisible(bool visible, int32_t mode) {
    SetSpriteVisible(Scene(), name_field_, visible, mode);
    SetSpriteVisible(Scene(), password_field_, visible, mode);
}

}  // namespace wm
