// The write screen's address picker: a small list of the address book's names over the To field.
// Picking a name puts the name (not its kite ID) into To; saving looks the address up again.
#ifndef WRENMAIL_SCREENS_ADDRESS_PICKER_H
#define WRENMAIL_SCREENS_ADDRESS_PICKER_H

#include <cstdint>

#include "controls/list_box.h"

namespace wm {

class PMAddressPicker : public PMListBox {
public:
    // The picker of the write scene, on its blue background.
    PMAddressPicker(uint16_t scene_port, uint16_t event_port);

    // Adds the names of the kite ID's book, sorted ignoring case, and shows the list. An empty
    // kite ID has no book and leaves the list empty.
    void Fill(const char* kiteId);

    // Framed in black, each row inset by two pixels on every side.
    bool Draw(CanvasInterface& canvas) override;

    static const Rgb kBackground;
};

}  // namespace wm

#endif
