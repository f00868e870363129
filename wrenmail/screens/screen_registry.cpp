#include "screens/screen_registry.h"

#include "messaging/delivery_scope.h"
#include "messaging/request_builders.h"
#include "screens/address_book_screen.h"
#include "screens/main_screen.h"
#include "screens/read_screen.h"
#include "screens/screen_base.h"
#include "screens/sign_in_screen.h"
#include "screens/write_screen.h"
#include "transport/transfer_progress.h"

namespace wm {
namespace {

ScreenRegistry g_screens;

// Get/Send's notices appear in whichever screen is current when they come.
class CurrentScreenProgress final : public TransferProgress {
public:
    void ShowNotice(uint16_t dialog, const char* text) override {
        if (PMScreenBase* screen = CurrentScreen()) {
            screen->ShowDialog(kDialogNoButtons, dialog, text);
        }
    }
    void CloseNotice() override {
        if (PMScreenBase* screen = CurrentScreen()) {
            screen->CloseDialog(0);
        }
    }
};

CurrentScreenProgress g_progress;

}  // namespace

void ScreenRegistry::CreateScreens() {
    if (count_ > 0) {
        return;
    }
    screens_[kMainSlot] = new MainScreen;
    screens_[kSignInSlot] = new SignInScreen;
    screens_[kReadSlot] = new ReadScreen;
    screens_[kWriteSlot] = new WriteScreen;
    screens_[kAddressSlot] = new AddressBookScreen;
    count_ = kScreenSlots;
    SetTransferProgress(&g_progress);
}

void ScreenRegistry::NameScreens() {
    for (int32_t slot = 0; slot < count_; ++slot) {
        screens_[slot]->InitNames();
    }
}

// The table forgets the screens at once; a screen whose handler is still running below this stop
// (the host stopped the module from inside a send the screen made) is deleted when it returns.
void ScreenRegistry::DeleteScreens() {
    for (int32_t slot = 0; slot < count_; ++slot) {
        PMScreenBase* screen = screens_[slot];
        screens_[slot] = nullptr;
        ReleaseAfterDelivery([screen] { delete screen; });
    }
    count_ = 0;
    current_ = nullptr;
    SetTransferProgress(nullptr);
}

PMScreenBase* ScreenRegistry::At(int32_t slot) const {
    return slot >= 0 && slot < count_ ? screens_[slot] : nullptr;
}

PMScreenBase* ScreenRegistry::Find(uint16_t scene) const {
    for (int32_t slot = 0; slot < count_; ++slot) {
        if (screens_[slot] != nullptr && screens_[slot]->Scene() == scene) {
            return screens_[slot];
        }
    }
    return nullptr;
}

void ScreenRegistry::ShowScreen(uint16_t scene) {
    PMScreenBase* screen = Find(scene);
    if (screen == nullptr) {
        return;
    }
    RequestScene(scene, 0);
    current_ = screen;
}

ScreenRegistry& Screens() {
    return g_screens;
}

void ShowScreen(uint16_t scene) {
    g_screens.ShowScreen(scene);
}

PMScreenBase* CurrentScreen() {
    return g_screens.Current();
}

bool RouteToScreen(uint16_t scene, EDict* record) {
    PMScreenBase* screen = record != nullptr ? g_screens.Find(scene) : nullptr;
    return screen != nullptr && screen->HandleMessage(record);
}

}  // namespace wm
