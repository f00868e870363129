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

    uint16_t address_button_ = 0;
    uint16_t change_button_ = 0;
    uint16_t date_button_ = 0;
    uint16_t delete_button_ = 0;
    uint16_t exit_button_ = 0;
    uint16_t from_button_ = 0;
    uint16_t help_button_ = 0;
    uint16_t new_button_ = 0;
    uint16_t parent_button_ = 0;
    uint16_t read_button_ = 0;
    uint16_t subject_button_ = 0;
    uint16_t update_button_ = 0;
    uint16_t confirm_delete_ = 0;
    uint16_t disconnect_reminder_ = 0;
    uint16_t show_disconnect_reminder_ = 0;
    std::unique_ptr<PMMailboxList> list_;
    bool first_start_ = true;
};

}  // namespace wm

#endif
