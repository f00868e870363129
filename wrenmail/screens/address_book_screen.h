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

    uint16_t doneButton_ = 0;
    uint16_t helpButton_ = 0;
    uint16_t addButton_ = 0;
    uint16_t deleteButton_ = 0;
    uint16_t nameField_ = 0;
    uint16_t idField_ = 0;
    uint16_t emptyField_ = 0;
    uint16_t illegalName_ = 0;
    std::unique_ptr<PMListBox> list_;
    std::unique_ptr<DictObject> book_;
};

}  // namespace wm

#endif
