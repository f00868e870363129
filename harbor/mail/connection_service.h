// RASPort: the connection manager. By default the machine is online and there is no connection
// manager to dial with: the manager query (30049) answers Manager 0. The dial-up simulation
// (`--dialup ok|fail|drop-after=MS`) answers a manager, takes the posted dial request (30062 with
// NotifyPort), and `dial_ms` of clock time later sends 30092 to the notify port: Status 1 with a
// Connection handle when the line comes up, Status 0 and Connection 0 when it fails. With
// drop-after the line drops MS after it came up: 30093 with that Connection. Hang-up (30003
// with Connection) ends the connection; a drop that was due for it is then not sent.
#ifndef HARBOR_MAIL_CONNECTION_SERVICE_H
#define HARBOR_MAIL_CONNECTION_SERVICE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "edict.h"

namespace harbor {

struct DialupOptions {
    enum class Mode { None, Succeed, Fail, DropAfter };
    Mode mode = Mode::None;
    uint32_t drop_after_ms = 0;
    uint32_t dial_ms = 300;
};

// "ok", "fail" or "drop-after=MS"; nothing for anything else.
std::optional<DialupOptions> ParseDialup(std::string_view text);

class ConnectionService {
public:
    explicit ConnectionService(DialupOptions options = {});
    ~ConnectionService();
    ConnectionService(const ConnectionService&) = delete;
    ConnectionService& operator=(const ConnectionService&) = delete;

    bool HandleRecord(EDict& record);
    uint32_t Connection() const { return connection_; }  // 0 while the line is down

private:
    static bool OnPort(EDict* record);

    void Dial(const EDict& r);
    void HangUp(const EDict& r);
    // The simulation's own timers arrive as posts to RASPort with this type.
    void OnTimer(const EDict& r);
    void PostTimer(uint16_t event, uint16_t notify, uint32_t connection, uint32_t delay);
    void Notify(uint16_t notify, uint16_t code, int32_t status, uint32_t connection);

    static ConnectionService* live_;
    DialupOptions options_;
    uint16_t port_, manager_, connection_key_, notify_key_, status_, timer_, event_, dialed_, dropped_;
    uint32_t connection_ = 0;
    uint32_t next_connection_ = 1;
};

}  // namespace harbor

#endif
