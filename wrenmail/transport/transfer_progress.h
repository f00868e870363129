// How the Get/Send chain tells the child what it is doing. The chain only knows this interface;
// the screens implement it by showing the notice in the current screen's dialog.
#ifndef WRENMAIL_TRANSPORT_TRANSFER_PROGRESS_H
#define WRENMAIL_TRANSPORT_TRANSFER_PROGRESS_H

#include <cstdint>

namespace wm {

class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    // A notice without buttons that stays up until CloseNotice.
    virtual void ShowNotice(uint16_t dialog, const char* text) = 0;
    virtual void CloseNotice() = 0;
};

// The reporter the chain uses from now on; null (the default) shows nothing.
void SetTransferProgress(TransferProgress* progress);

}  // namespace wm

#endif
