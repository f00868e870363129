// Test support: the one null host every module test runs against. It resets the messaging library
// and installs one fake per host service (files, mail, connection manager, scenes, resources, the
// application port, regional dates) and the log of what crossed the ports. One is installed at a
// time; Host() is the installed one.
#ifndef WRENMAIL_TESTS_FAKES_NULL_HOST_H
#define WRENMAIL_TESTS_FAKES_NULL_HOST_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "edict.h"
#include "file_service.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "mail_service.h"
#include "scene_service.h"

// The one log of what crossed the ports, taken from the trace hook. Sends and posts are kept as
// the sender made them, deliveries as the handler was given them.
struct HostRequest {
    int event;  // HxTraceSend, HxTracePost or HxTraceDeliver
    uint16_t port;
    EDict record;
    int32_t delay;
    bool posted;
};

class PortLog {
public:
    void Install() { HxSetTraceHook(&PortLog::Hook, this); }
    static void Uninstall() { HxSetTraceHook(nullptr, nullptr); }

    // Sends and posts to the port (0: any) of the type (0: any).
    std::vector<HostRequest> Requests(uint16_t port = 0, uint16_t type = 0) const { return Filter(port, type, false, false); }
    std::vector<HostRequest> Posted(uint16_t port, uint16_t type = 0) const { return Filter(port, type, false, true); }
    std::vector<HostRequest> Delivered(uint16_t port, uint16_t type = 0) const { return Filter(port, type, true, false); }
    std::size_t Count(uint16_t port = 0, uint16_t type = 0) const { return Requests(port, type).size(); }
    void Forget() { events_.clear(); }

private:
    std::vector<HostRequest> Filter(uint16_t port, uint16_t type, bool delivered, bool postedOnly) const;
    static void Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user);

    std::vector<HostRequest> events_;
};

// The resource service on ResPort. Opening a served file (30040 with XFILE) answers
// the resource name it is published under; making a resource (30013) answers a fresh name, or
// STATUS false while refusing.
class FakeResourceService {
public:
    void Install();

    std::map<std::string, uint16_t> served;
    // When set, a served file opens only while this answers true for it.
    std::function<bool(const std::string& file)> reachable;
    bool refusing = false;
    int made = 0;

private:
    bool Handle(EDict* record);
    static bool HXCALL OnRequest(EDict* record);
    static inline FakeResourceService* instance_ = nullptr;
};

// The keys of a record with their kinds, in slot order.
std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record);

class NullHost {
public:
    NullHost() = default;
    NullHost(const NullHost&) = delete;
    NullHost& operator=(const NullHost&) = delete;
    ~NullHost() { Uninstall(); }

    void Install();
    void Uninstall();

    std::vector<HostRequest> Requests(uint16_t port = 0, uint16_t type = 0) const { return log.Requests(port, type); }
    std::vector<HostRequest> Posted(uint16_t port, uint16_t type = 0) const { return log.Posted(port, type); }
    std::vector<HostRequest> Delivered(uint16_t port, uint16_t type = 0) const { return log.Delivered(port, type); }
    void Forget() { log.Forget(); }

    PortLog log;
    FakeFileService files;
    FakeMailServer mail;
    FakeConnectionManager ras;
    FakeSceneService scenes;
    FakeResourceService resources;
    std::vector<EDict> moduleData;  // what the module handed over with PMDATA
    int32_t today = 1000;           // the regional service's date; dates are written "d<number>"
};

NullHost& Host();

EDict Record(uint16_t type, uint32_t time = 0);
// A record of the type naming the sprite, stamped with the time.
EDict Named(uint16_t type, uint16_t sprite, uint32_t time = 0);
uint16_t Atom(const char* name);

#endif
