// Test support: one field of each request a test found in the port log, in order, so that a
// list of requests is checked with one comparison; and the records a host sends most.
#ifndef WRENMAIL_TESTS_CONTROLS_REQUEST_FIELDS_H
#define WRENMAIL_TESTS_CONTROLS_REQUEST_FIELDS_H

#include <cstdint>
#include <string>
#include <vector>

#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "null_host.h"

using Atoms = std::vector<uint16_t>;
using Numbers = std::vector<int32_t>;
using Lines = std::vector<std::string>;

inline Atoms Shorts(const std::vector<HostRequest>& requests, uint16_t key) {
    Atoms values;
    for (const HostRequest& r : requests) values.push_back(EDictGetShort(&r.record, key));
    return values;
}
inline Numbers Longs(const std::vector<HostRequest>& requests, uint16_t key) {
    Numbers values;
    for (const HostRequest& r : requests) values.push_back(EDictGetLong(&r.record, key));
    return values;
}
inline Lines Texts(const std::vector<HostRequest>& requests, uint16_t key) {
    Lines values;
    for (const HostRequest& r : requests) {
        const char* text = EDictGetText(&r.record, key);
        values.push_back(text != nullptr ? text : "(none)");
    }
    return values;
}
// How each request was delivered and after what delay, as "send 0" or "post 20".
inline Lines Deliveries(const std::vector<HostRequest>& requests) {
    Lines values;
    for (const HostRequest& r : requests) {
        values.push_back((r.event == HxTracePost ? "post " : "send ") + std::to_string(r.delay));
    }
    return values;
}

// A control's left, top, width and height, to check its place with one comparison.
template <class Control>
std::vector<uint32_t> Bounds(const Control& control) {
    return {control.GetLeft(), control.GetTop(), control.GetWidth(), control.GetHeight()};
}

// A record of the type at a point (a pointer move, or a press when it also names a sprite).
inline EDict AtPoint(EDict record, int32_t x, int32_t y) {
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    return record;
}

#endif
