// The address book screen (scene ScAbAddress), opened over the screen that asked for it: names
// and kite IDs, with add, delete, help and done.
#ifndef WRENMAIL_SCREENS_ADDRESS_BOOK_SCREEN_H
#define WRENMAIL_SCREENS_ADDRESS_BOOK_SCREEN_H

#include <cstdint>
#include <memory>

#include "screens/screen_base.h"

namespace wm {

class DictObject;
class PMListBox;

class AddressBookScreen : public PMScreenBase {
public:
    AddressBookScreen();
    ~AddressBookScreen() override;

    bool HandleMessage(EDict* record) override;
    void Enter() override;
    void Leave() override;
    void InitNames() override;
    bool OnButton(uint16_t sprite) override;
    // The edit fields would show through the cover, and the dialog sits elsewhere in this scene.
    void ShowDialog(int32_t kind, uint16_t dialog, const char* text) override;
    void CloseDialog(uint16_t button) override;

    // While the screen is up: the book being edited and the list of its names.
    DictObject* Book() { return book_.get(); }
    PMListBox* List() { return list_.get(); }

private:
    void CreateList();
    void FillList();
    void ShowEntry(int32_t index);
    void SetFields(const char* name, const char* kiteId);
    void Add();
    void Delete();
    void OnEditKey(uint16_t field, uint16_t key);
    void SetFieldsVisible(bool visible);
    void PlaceDialog(int32_t kind);

    uint16_t done_button_ = 0;
    uint16_t help_button_ = 0;
    uint16_t add_button_ = 0;
    uint16_t delete_button_ = 0;
    uint16_t name_field_ = 0;
    uint16_t id_field_ = 0;
    uint16_t empty_field_ = 0;
    uint16_t illegal_name_ = 0;
    std::unique_ptr<PMListBox> list_;
    std::unique_ptr<DictObject> book_;
};

}  // namespace wm

#endif
