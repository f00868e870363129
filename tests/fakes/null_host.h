// Test support: the one null host every module test runs against. It resets the messaging library
// and installs one fake per host service (files, mail, connection manager, scenes, resources, the
// application port, regional dates) and the log of what crossed the ports. One is installed at a
// time; Host() is the installed one.
#ifndef WRENMAIL_TESTS_FAKES_NULL_HOST_H
#define WRENMAIL_TESTS_FAKES_NULL_HOST_H

#include <cstdint>
#include <vector>

#include "edict.h"
#include "file_service.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "mail_service.h"
#include "port_log.h"
#include "resource_service.h"
#include "scene_service.h"

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
uint16_t Atom(const char* name);

#endif
