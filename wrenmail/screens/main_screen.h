// The main mailbox screen (scene ScWnMain): the hub from which the user reads, writes, updates the
// mail, opens the address book, changes the account, opens the parent page and leaves.
#ifndef WRENMAIL_SCREENS_MAIN_SCREEN_H
#define WRENMAIL_SCREENS_MAIN_SCREEN_H

#include <cstdint>
#include <memory>

#include "screens/screen_base.h"

namespace wm {

class PMMailboxList;

inline constexpr const char* kConfirmDeleteText = "Are you sure you want to delete this message?";

class MainScreen : public PMScreenBase {
public:
    MainScreen();
    ~MainScreen() override;

    bool HandleMessage(EDict* record) override;
    void Enter() override;
    void Leave() override;
    void InitNames() override;
    bool OnButton(uint16_t sprite) override;

    // Rebuilds the lines from the header list; nothing while the screen is stopped.
    void RefreshList();
    PMMailboxList* List() const { return list_.get(); }

private:
    bool OnDialogButton(uint16_t sprite);
    bool OnScreenButton(uint16_t sprite);
    void OpenAddressBook();
    void CreateList();
    void DestroyList();
    void OnPress(const EDict* record);
    void SortBy(int32_t key);
    void OpenSelected();
    void DeleteSelected();

    uint16_t addressButton_ = 0;
    uint16_t changeButton_ = 0;
    uint16_t dateButton_ = 0;
    uint16_t deleteButton_ = 0;
    uint16_t exitButton_ = 0;
    uint16_t fromButton_ = 0;
    uint16_t helpButton_ = 0;
    uint16_t newButton_ = 0;
    uint16_t parentButton_ = 0;
    uint16_t readButton_ = 0;
    uint16_t subjectButton_ = 0;
    uint16_t updateButton_ = 0;
    uint16_t confirmDelete_ = 0;
    uint16_t disconnectReminder_ = 0;
    uint16_t showDisconnectReminder_ = 0;
    std::unique_ptr<PMMailboxList> list_;
    bool firstStart_ = true;
};

}  // namespace wm

#endif
