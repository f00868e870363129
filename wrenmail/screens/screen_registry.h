// The application's screens: one object per scene, created at start and deleted at stop, found by
// scene atom. The current screen is the one the last scene switch asked for.
#ifndef WRENMAIL_SCREENS_SCREEN_REGISTRY_H
#define WRENMAIL_SCREENS_SCREEN_REGISTRY_H

#include <array>
#include <cstdint>

#include "edict.h"

namespace wm {

class PMScreenBase;

// Table positions, in creation order.
enum ScreenSlot : int32_t { kMainSlot = 0, kSignInSlot, kReadSlot, kWriteSlot, kAddressSlot, kScreenSlots };

class ScreenRegistry {
public:
    // Creates the five screens in table order. Does nothing while screens exist.
    void CreateScreens();
    // Lets every screen fetch its names, in table order.
    void NameScreens();
    // Deletes the screens and forgets the current one.
    void DeleteScreens();

    int32_t Count() const { return count_; }
    PMScreenBase* At(int32_t slot) const;
    PMScreenBase* Find(uint16_t scene) const;
    PMScreenBase* Current() const { return current_; }

    // Asks the host for the scene and makes its screen current; unknown scenes change nothing.
    void ShowScreen(uint16_t scene);

private:
    std::array<PMScreenBase*, kScreenSlots> screens_{};
    int32_t count_ = 0;
    PMScreenBase* current_ = nullptr;
};

ScreenRegistry& Screens();

// The one way to change screens.
void ShowScreen(uint16_t scene);
PMScreenBase* CurrentScreen();

// Hands the record to the screen of the scene; false when there is none.
bool RouteToScreen(uint16_t scene, EDict* record);

}  // namespace wm

#endif
