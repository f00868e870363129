#include "state/user_identity.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

UserIdentity g_identity;
bool g_kiteGivenAtStart = false;

std::string Limited(const char* text) {
    if (text == nullptr) {
        return {};
    }
    std::string value(text);
    if (value.size() > UserIdentity::kMaxLength) {
        value.resize(UserIdentity::kMaxLength);
    }
    return value;
}

// The text of the name atom filed under the key; empty when the host knows no such name.
const char* AtomText(const EDict* record, uint16_t key) {
    const char* text = DaNameGetString(EDictGetShort(record, key));
    return text != nullptr ? text : "";
}

void EraseStoredIdentity(uint16_t playerKey, uint16_t kiteKey, uint16_t passwordKey) {
    const auto empty = static_cast<uint16_t>(DaNameGet(""));
    EDict blank;
    EDictClear(&blank);
    EDictPutShort(&blank, playerKey, empty);
    EDictPutShort(&blank, kiteKey, empty);
    EDictPutShort(&blank, passwordKey, empty);

    EDict request;
    EDictClear(&request);
    EDictSetType(&request, code::kSet);
    EDictPutPointer(&request, atoms::PMDATA, &blank);
    HxPortSend(atoms::AppPort, &request);
}

}  // namespace

void UserIdentity::SetPlayerId(const char* playerId) {
    player_id_ = Limited(playerId);
}

void UserIdentity::SetKiteLogin(const char* kiteId, const char* password) {
    kite_id_ = Limited(kiteId);
    password_ = Limited(password);
}

void UserIdentity::ClearKiteLogin() {
    kite_id_.clear();
    password_.clear();
}

void UserIdentity::ClearPlayerId() {
    player_id_.clear();
}

void UserIdentity::ClearIdentity() {
    ClearPlayerId();
    ClearKiteLogin();
}

UserIdentity& Identity() {
    return g_identity;
}

bool KiteGivenAtStart() {
    return g_kiteGivenAtStart;
}

void LoadIdentity(const EDict* start) {
    const uint16_t playerKey = FetchAtom("WNPlayerID");
    const uint16_t kiteKey = FetchAtom("WNOrbitID");
    const uint16_t passwordKey = FetchAtom("WNPassword");

    g_kiteGivenAtStart = EDictHasKey(start, kiteKey);
    if (g_kiteGivenAtStart) {
        const char* password = EDictHasKey(start, passwordKey) ? AtomText(start, passwordKey) : "";
        g_identity.SetKiteLogin(AtomText(start, kiteKey), password);
    }
    if (EDictHasKey(start, playerKey)) {
        g_identity.SetPlayerId(AtomText(start, playerKey));
    }
    EraseStoredIdentity(playerKey, kiteKey, passwordKey);
}

const char* MailboxOwnerName() {
    return g_identity.GetKiteId()[0] != '\0' ? g_identity.GetKiteId() : g_identity.GetPlayerId();
}

}  // namespace wm
