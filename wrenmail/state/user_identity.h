// Whose mailboxes are open: the player ID (a local user of the host) and the kite ID with its
// password (the online mail account). The start message hands them over; the sign-in screen
// changes the kite login later. Nothing here is ever saved.
#ifndef WRENMAIL_STATE_USER_IDENTITY_H
#define WRENMAIL_STATE_USER_IDENTITY_H

#include <cstddef>
#include <string>

#include "edict.h"

namespace wm {

class UserIdentity {
public:
    // Longest value kept; longer ones are cut.
    static constexpr std::size_t kMaxLength = 63;

    // Texts stay valid until their field is set again; never null.
    const char* GetPlayerId() const { return player_id_.c_str(); }
    const char* GetKiteId() const { return kite_id_.c_str(); }
    const char* GetPassword() const { return password_.c_str(); }

    void SetPlayerId(const char* playerId);
    void SetKiteLogin(const char* kiteId, const char* password);
    void ClearKiteLogin();
    void ClearPlayerId();
    void ClearIdentity();

private:
    std::string player_id_;
    std::string kite_id_;
    std::string password_;
};

UserIdentity& Identity();

// True when the last start message carried a kite ID.
bool KiteGivenAtStart();

// Takes the identity from the start message, then erases it from the host's store of module data,
// so that it lives only here.
void LoadIdentity(const EDict* start);

// The name shown as the mailbox's owner: the kite ID, else the player ID.
const char* MailboxOwnerName();

}  // namespace wm

#endif
