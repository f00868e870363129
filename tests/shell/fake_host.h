// Test support: a fake host for the shell. It records every send and post the module makes (through
// the trace hook, with port and delay), answers the requests the shell reads answers from (the
// settings file open on ResPort, edit field texts on the scene ports), and keeps a copy of the
// module data handed over with PMDATA. One instance is installed at a time.
#ifndef WRENMAIL_TESTS_SHELL_FAKE_HOST_H
#define WRENMAIL_TESTS_SHELL_FAKE_HOST_H

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "edict.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

struct HostRequest {
    int event;  // HxTraceSend, HxTracePost or HxTraceDeliver
    uint16_t port;
    EDict record;
    int32_t delay;
};

inline uint16_t Atom(const char* name) {
    return wm::FetchAtom(name);
}

class FakeHost {
public:
    FakeHost() = default;
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;
    ~FakeHost() { Uninstall(); }

    // After HxReset, which detaches every handler.
    void Install() {
        instance_ = this;
        HxSetTraceHook(&FakeHost::Trace, this);
        HxPortAttach(atoms::ResPort, &FakeHost::OnResPort);
        HxPortAttach(atoms::AppPort, &FakeHost::OnAppPort);
        for (uint16_t scene : {atoms::ports::ScCsSignIn, atoms::ports::ScWnMain, atoms::ports::ScRdRead,
                               atoms::ports::ScWrWrite, atoms::ports::ScAbAddress}) {
            HxPortAttach(scene, &FakeHost::OnScene);
        }
    }
    void Uninstall() {
        if (instance_ == this) {
            HxSetTraceHook(nullptr, nullptr);
            instance_ = nullptr;
        }
    }

    // Opening this file answers with the resource name under which `root` is published.
    void ServeFile(const char* file, uint16_t resource) {
        file_ = file;
        resource_ = resource;
    }

    void Forget() { events_.clear(); }

    // Sends and posts the module made to the port (0: any), of the type when it is not 0.
    std::vector<HostRequest> Requests(uint16_t port, uint16_t type = 0) const { return Filter(port, type, false); }
    std::vector<HostRequest> Delivered(uint16_t port, uint16_t type = 0) const { return Filter(port, type, true); }

    std::map<uint16_t, std::string> editTexts;
    std::map<uint16_t, std::string> spriteTexts;
    std::vector<EDict> moduleData;

private:
    std::vector<HostRequest> Filter(uint16_t port, uint16_t type, bool delivered) const {
        std::vector<HostRequest> found;
        for (const HostRequest& request : events_) {
            const bool isDelivery = request.event == HxTraceDeliver;
            if (isDelivery == delivered && (port == 0 || request.port == port) &&
                (type == 0 || EDictGetType(&request.record) == type)) {
                found.push_back(request);
            }
        }
        return found;
    }

    static void Trace(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
        static_cast<FakeHost*>(user)->events_.push_back(HostRequest{event, port, *record, delay});
    }

    static bool HXCALL OnResPort(EDict* record) {
        const char* file = EDictGetText(record, atoms::XFILE);
        if (EDictGetType(record) == code::kStart && file != nullptr && instance_->file_ == file) {
            EDictPutShort(record, atoms::NAME, instance_->resource_);
        }
        return true;
    }

    static bool HXCALL OnAppPort(EDict* record) {
        if (EDictGetType(record) == code::kSet && EDictHasKey(record, atoms::PMDATA)) {
            instance_->moduleData.push_back(*static_cast<const EDict*>(EDictGetPointer(record, atoms::PMDATA)));
        }
        return true;
    }

    // Edit fields: 30008 with GET reads the text, without it replaces it. Sprite texts set with
    // 30052 are kept and answered to 30011.
    static bool HXCALL OnScene(EDict* record) {
        if (EDictGetType(record) == code::kSet && EDictHasKey(record, atoms::TEXT)) {
            const char* text = EDictGetText(record, atoms::TEXT);
            instance_->spriteTexts[EDictGetShort(record, atoms::NAME)] = text != nullptr ? text : "";
            return false;
        }
        if (EDictGetType(record) == code::kGet && instance_->spriteTexts.count(EDictGetShort(record, atoms::NAME))) {
            EDictPutText(record, atoms::TEXT, instance_->spriteTexts[EDictGetShort(record, atoms::NAME)].c_str());
            return true;
        }
        if (EDictGetType(record) != code::kEditText) {
            return false;
        }
        std::string& text = instance_->editTexts[EDictGetShort(record, atoms::NAME)];
        if (EDictHasKey(record, atoms::GET)) {
            EDictPutText(record, atoms::TEXT, text.c_str());
        } else {
            const char* replacement = EDictGetText(record, atoms::TEXT);
            text = replacement != nullptr ? replacement : "";
        }
        return true;
    }

    static inline FakeHost* instance_ = nullptr;
    std::vector<HostRequest> events_;
    std::string file_;
    uint16_t resource_ = 0;
};

#endif
