#include "mail/connection_service.h"

#include <cassert>
#include <charconv>

#include "hxmsg.h"
#include "message_codes.h"
#include "base/atoms.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

constexpr const char* kPort = "RASPort";
constexpr uint32_t kManagerHandle = 1;

}  // namespace

std::optional<DialupOptions> ParseDialup(std::string_view text) {
    DialupOptions options;
    constexpr std::string_view kDrop = "drop-after=";
    if (text == "ok") {
        options.mode = DialupOptions::Mode::Succeed;
    } else if (text == "fail") {
        options.mode = DialupOptions::Mode::Fail;
    } else if (text.starts_with(kDrop)) {
        const std::string_view ms = text.substr(kDrop.size());
        auto [end, ec] = std::from_chars(ms.data(), ms.data() + ms.size(), options.drop_after_ms);
        if (ms.empty() || ec != std::errc() || end != ms.data() + ms.size()) return std::nullopt;
        options.mode = DialupOptions::Mode::DropAfter;
    } else {
        return std::nullopt;
    }
    return options;
}

ConnectionService* ConnectionService::live_ = nullptr;

ConnectionService::ConnectionService(DialupOptions options)
    : options_(options),
      port_(AtomOf(kPort)),
      manager_(AtomOf("Manager")),
      connection_key_(AtomOf("Connection")),
      notify_key_(AtomOf("NotifyPort")),
      status_(AtomOf("Status")),
      timer_(AtomOf("aHarborDialupTimer")),
      event_(AtomOf("EVENT")),
      dialed_(AtomOf("Dialed")),
      dropped_(AtomOf("Dropped")) {
    assert(live_ == nullptr && "one connection manager at a time");
    live_ = this;
    HxPortAttach(port_, &ConnectionService::OnPort);
}

ConnectionService::~ConnectionService() {
    HxPortDetach(port_, &ConnectionService::OnPort);
    live_ = nullptr;
}

bool ConnectionService::OnPort(EDict* record) {
    return live_ != nullptr && record != nullptr && live_->HandleRecord(*record);
}

bool ConnectionService::HandleRecord(EDict& r) {
    const uint16_t type = EDictGetType(&r);
    if (type == timer_) {
        OnTimer(r);
        return true;
    }
    switch (type) {
        case code::kQuery:
            EDictPutHandle(&r, manager_, options_.mode == DialupOptions::Mode::None ? 0 : kManagerHandle);
            return true;
        case code::kOpen:
            Dial(r);
            return true;
        case code::kClose:
            HangUp(r);
            return true;
        default:
            return false;
    }
}

void ConnectionService::Dial(const EDict& r) {
    const uint16_t notify = EDictGetShort(&r, notify_key_);
    if (options_.mode == DialupOptions::Mode::None || notify == 0) {
        TraceNote(kPort, notify == 0 ? "dial: no NotifyPort" : "dial: there is no connection manager; nothing is dialled");
        return;
    }
    TraceNote(kPort, "dialling (simulated)");
    PostTimer(dialed_, notify, 0, options_.dial_ms);
}

void ConnectionService::HangUp(const EDict& r) {
    const auto connection = static_cast<uint32_t>(EDictGetLong(&r, connection_key_));
    if (connection == 0 || connection != connection_) {
        TraceNote(kPort, "hang up: connection " + std::to_string(connection) + " is not there");
        return;
    }
    connection_ = 0;
    TraceNote(kPort, "hung up");
}

void ConnectionService::PostTimer(uint16_t event, uint16_t notify, uint32_t connection, uint32_t delay) {
    EDict timer;
    EDictClear(&timer);
    EDictSetType(&timer, timer_);
    EDictPutShort(&timer, event_, event);
    EDictPutShort(&timer, notify_key_, notify);
    EDictPutHandle(&timer, connection_key_, connection);
    HxPortPost(port_, &timer, static_cast<int32_t>(delay));
}

void ConnectionService::Notify(uint16_t notify, uint16_t code, int32_t status, uint32_t connection) {
    EDict notice;
    EDictClear(&notice);
    EDictSetType(&notice, code);
    if (code == code::kDialResult) EDictPutLong(&notice, status_, status);
    EDictPutHandle(&notice, connection_key_, connection);
    HxPortSend(notify, &notice);
}

void ConnectionService::OnTimer(const EDict& r) {
    const uint16_t event = EDictGetShort(&r, event_);
    const uint16_t notify = EDictGetShort(&r, notify_key_);
    if (event == dialed_) {
        if (options_.mode == DialupOptions::Mode::Fail) {
            TraceNote(kPort, "the dial failed (simulated)");
            return Notify(notify, code::kDialResult, 0, 0);
        }
        connection_ = next_connection_++;
        TraceNote(kPort, "connected (simulated)");
        if (options_.mode == DialupOptions::Mode::DropAfter) PostTimer(dropped_, notify, connection_, options_.drop_after_ms);
        return Notify(notify, code::kDialResult, 1, connection_);
    }
    const auto connection = static_cast<uint32_t>(EDictGetLong(&r, connection_key_));
    if (event == dropped_ && connection != 0 && connection == connection_) {
        connection_ = 0;
        TraceNote(kPort, "the line dropped (simulated)");
        Notify(notify, code::kLineDropped, 0, connection);
    }
}

}  // namespace harbor
