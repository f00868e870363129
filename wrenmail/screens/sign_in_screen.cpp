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
    enterButton_ = FetchAtom("BtnCsEnter");
    helpButton_ = FetchAtom("BtnCsHelp");
    signUpButton_ = FetchAtom("BtnCsSignUp");
    cancelButton_ = FetchAtom("BtnCsCancel");
    exitButton_ = FetchAtom("BtnCsExit");
    nameField_ = FetchAtom("EdtCsName");
    passwordField_ = FetchAtom("EdtCsPassword");
    badEntry_ = FetchAtom("BadEntry");
    badUser_ = FetchAtom("BadUserDialog");
    connectFailed_ = FetchAtom("ConnectFailed");
    checkingPassword_ = FetchAtom("CheckingPassword");
    disconnectReminder_ = FetchAtom("DisconnectReminder");
    opening_ = FetchAtom("AniCsOpening");
    splash_ = FetchAtom("AniCsSplash");
    showDisconnectReminder_ = FetchAtom("aShowDisconnectReminder");
    showNoConnectDialog_ = FetchAtom("aShowNoConnectDialog");
    showBadUserDialog_ = FetchAtom("aShowBadUserDialog");
    openingDone_ = FetchAtom("aOnOpeningDone");
    splashDone_ = FetchAtom("aOnSplashDone");
    SetHelpSound(FetchAtom("SndCsHelp"));
}

void SignInScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_OrbitSignIn);
    AddButton(enterButton_, true);
    AddButton(helpButton_, true);
    AddButton(signUpButton_, true);

    UserIdentity& identity = Identity();
    if (!KiteGivenAtStart()) {
        identity.ClearKiteLogin();
    }
    if (!IsEmpty(identity.GetKiteId())) {
        SetSpriteText(Scene(), nameField_, identity.GetKiteId(), kSend);
    }
    if (!IsEmpty(identity.GetPassword())) {
        SetSpriteText(Scene(), passwordField_, identity.GetPassword(), kSend);
    }
    // A player can go back to the mailbox; without one the only way out is to leave.
    const bool hasPlayer = !IsEmpty(identity.GetPlayerId());
    const uint16_t wayOut = hasPlayer ? cancelButton_ : exitButton_;
    ShowSprite(Scene(), wayOut, kSend);
    AddButton(wayOut, true);

    if (!hasPlayer && openingPassed_ == 0) {
        ShowSprite(Scene(), opening_, kSend);
        PostAction(atoms::ports::OrbitSignInPort, openingDone_, kAnimationTime);
        return;
    }
    openingPassed_ = 1;
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
    if (entryShown_ == 0 || (field != nameField_ && field != passwordField_)) {
        return;
    }
    if (key == atoms::TAB) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), field == nameField_ ? passwordField_ : nameField_, true, 0);
    } else if (key == atoms::ENTER) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), 0, true, 0);
        OnButton(enterButton_);
    }
}

void SignInScreen::OnClick(uint16_t sprite) {
    if (OnButton(sprite)) {
        return;
    }
    if (sprite == opening_) {
        PostAction(atoms::ports::OrbitSignInPort, openingDone_, kSkipDelay);
    } else if (sprite == splash_) {
        PostAction(atoms::ports::OrbitSignInPort, splashDone_, kSkipDelay);
    }
}

bool SignInScreen::OnAction(uint16_t type) {
    if (type == showDisconnectReminder_) {
        SetFieldsVisible(false, 0);
        ShowDialog(kDialogOk, disconnectReminder_, kDisconnectReminderText);
    } else if (type == showNoConnectDialog_) {
        ShowNoConnectDialog();
    } else if (type == showBadUserDialog_) {
        ShowBadUserDialog();
    } else if (type == openingDone_) {
        OnOpeningDone();
    } else if (type == splashDone_) {
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
    if (openingPassed_ != 0) {
        return;
    }
    HideSprite(Scene(), opening_, kSend);
    ShowSprite(Scene(), splash_, kSend);
    PostAction(atoms::ports::OrbitSignInPort, splashDone_, kAnimationTime);
    openingPassed_ = 1;
}

void SignInScreen::OnSplashDone() {
    if (entryShown_ != 0) {
        return;
    }
    HideSprite(Scene(), splash_, kSend);
    ShowEntry();
}

void SignInScreen::ShowEntry() {
    entryShown_ = 1;
    ShowSprite(Scene(), nameField_, kSend);
    ShowSprite(Scene(), passwordField_, kSend);
    SetSpriteFocus(Scene(), nameField_, true, 0);
}

bool SignInScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool SignInScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == ConfirmExitDialog()) {
            PostAction(atoms::ports::OrbitSignInPort, showDisconnectReminder_, kReminderDelay);
        }
        CloseDialog(sprite);
        SetFieldsVisible(true, 0);
    } else if (sprite == sprites::BtnCoNo) {
        SetFieldsVisible(true, 0);
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoOk) {
        if (dialog == disconnectReminder_) {
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
    if (sprite == helpButton_) {
        PlayHelpSound();
    } else if (sprite == enterButton_) {
        OnEnterButton();
    } else if (sprite == cancelButton_) {
        Identity().ClearKiteLogin();
        // Afresh: the list may hold the kite account's mail, or the player's from an earlier visit.
        RebuildHeaderList();
        ShowScreen(atoms::ports::ScWnMain);
    } else if (sprite == exitButton_) {
        SetFieldsVisible(false, kSend);
        ShowDialog(kDialogYesNo, ConfirmExitDialog(), kConfirmExitText);
    } else if (sprite == signUpButton_) {
        OpenWebAddress(AppSettings().signUpUrl.c_str());
    } else {
        return false;
    }
    return true;
}

void SignInScreen::OnEnterButton() {
    SetFieldsVisible(false, kSend);
    if (IsEmpty(GetEditText(Scene(), nameField_)) || IsEmpty(GetEditText(Scene(), passwordField_))) {
        ShowDialog(kDialogOk, badEntry_, kBadEntryText);
        return;
    }
    ShowDialog(kDialogNoButtons, checkingPassword_, kCheckingText);
    StartDial();
}

void SignInScreen::ValidateUser() {
    const std::string kiteId = FullFieldText(Scene(), nameField_);
    const std::string password = FullFieldText(Scene(), passwordField_);
    CloseMailManager();
    const SignInAnswer answer = MailSignIn(kiteId.c_str(), password.c_str());
    Services().mailManager = answer.manager;
    CloseDialog(0);
    SetFieldsVisible(true, 0);
    if (SignedIn(answer)) {
        OnValidated();
    } else {
        OnValidationFailed(answer.success ? 1 : 0, answer.status);
    }
}

void SignInScreen::OnValidated() {
    const std::string kiteId = FieldText(Scene(), nameField_);
    const std::string password = FieldText(Scene(), passwordField_);
    Identity().SetKiteLogin(kiteId.c_str(), password.c_str());
    RebuildHeaderList();
    ShowScreen(atoms::ports::ScWnMain);
}

void SignInScreen::OnValidationFailed(uint8_t success, int32_t) {
    CloseMailManager();
    const uint16_t next = success != 0 ? showBadUserDialog_ : showNoConnectDialog_;
    PostAction(atoms::ports::OrbitSignInPort, next, kFailureDelay);
}

void SignInScreen::ShowNoConnectDialog() {
    SetFieldsVisible(false, 0);
    ShowDialog(kDialogOk, connectFailed_, kConnectFailedText);
}

void SignInScreen::ShowBadUserDialog() {
    SetFieldsVisible(false, 0);
    ShowDialog(kDialogOk, badUser_, kBadUserText);
}

void SignInScreen::SetFieldsVisible(bool visible, int32_t mode) {
    SetSpriteVisible(Scene(), nameField_, visible, mode);
    SetSpriteVisible(Scene(), passwordField_, visible, mode);
}

}  // namespace wm
