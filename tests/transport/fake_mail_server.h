// Test support: a mail service on MailPort and a connection manager on RASPort, small enough to
// read. Messages and parts are property bags; a message's "Data" is its properties one per line
// ("From=ann_01"), so a message made from stored text gives its properties back.
#ifndef WRENMAIL_TESTS_TRANSPORT_FAKE_MAIL_SERVER_H
#define WRENMAIL_TESTS_TRANSPORT_FAKE_MAIL_SERVER_H

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

struct FakeObject {
    std::map<uint16_t, std::string> texts;
    std::map<uint16_t, int32_t> longs;
    std::vector<uint32_t> parts;
    bool isPart = false;
};

class FakeMailServer {
public:
    void Install() {
        instance_ = this;
        HxPortAttach(atoms::mail::MailPort, &FakeMailServer::OnRequest);
    }

    // The stored text of a message with these properties.
    static std::string DataOf(const std::string& from, const std::string& subject, int32_t date,
                              const std::string& to = "", const std::string& body = "") {
        return "From=" + from + "\nSubject=" + subject + "\nDate=" + std::to_string(date) + "\nTo=" + to +
               "\nBody=" + body + "\n";
    }

    uint32_t Add(FakeObject object) {
        objects[++last_] = std::move(object);
        return last_;
    }
    uint32_t AddFromData(const std::string& data) { return Add(Parse(data)); }

    // A sign-in with the password succeeds with `status`; a wrong one answers 535.
    std::map<std::string, std::string> accounts;
    int32_t okStatus = 235;
    bool offline = false;
    bool sendSucceeds = true;
    uint32_t nextManager = 70;

    std::map<uint32_t, FakeObject> objects;  // live objects
    std::deque<std::string> waiting;        // Data texts handed out by MailNextMessage
    std::vector<std::string> sent;          // Data of each message sent
    std::vector<uint32_t> signedOut;
    std::vector<uint32_t> freed;
    std::vector<std::pair<uint16_t, std::string>> textsSet;  // every text set, in order

private:
    static FakeObject Parse(const std::string& data) {
        FakeObject object;
        std::istringstream in(data);
        for (std::string line; std::getline(in, line);) {
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq);
            const std::string value = line.substr(eq + 1);
            if (key == "Date") {
                object.longs[atoms::mail::Date] = std::stoi(value);
            } else {
                object.texts[wm::FetchAtom(key.c_str())] = value;
            }
        }
        return object;
    }
    std::string Serialise(const FakeObject& o) const {
        auto text = [&](uint16_t key) { return o.texts.count(key) ? o.texts.at(key) : std::string(); };
        const int32_t date = o.longs.count(atoms::mail::Date) ? o.longs.at(atoms::mail::Date) : 0;
        return DataOf(text(atoms::mail::From), text(atoms::mail::Subject), date, text(atoms::mail::To),
                      text(atoms::mail::Body));
    }
    FakeObject* Find(uint32_t handle) {
        auto it = objects.find(handle);
        return it == objects.end() ? nullptr : &it->second;
    }

    void Get(EDict* record, FakeObject& o) {
        if (EDictHasKey(record, atoms::mail::Index)) {
            const int32_t index = EDictGetLong(record, atoms::mail::Index);
            const bool inRange = index >= 0 && static_cast<size_t>(index) < o.parts.size();
            EDictPutHandle(record, atoms::mail::Part, inRange ? o.parts[static_cast<size_t>(index)] : 0);
            return;
        }
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(record, 1, &type);
        if (key == atoms::mail::Data) {
            o.texts[key] = Serialise(o);
        }
        if (type == EDictText && o.texts.count(key) != 0) {
            EDictPutText(record, key, o.texts[key].c_str());
        } else if (type == EDictLong) {
            const int32_t value = key == atoms::mail::Parts ? static_cast<int32_t>(o.parts.size())
                                  : o.longs.count(key) ? o.longs[key]
                                                       : 0;
            EDictPutLong(record, key, value);
        }
    }

    void Set(const EDict* record, FakeObject& o) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(record, 1, &type);
        if (type == EDictText) {
            const char* text = EDictGetText(record, key);
            o.texts[key] = text != nullptr ? text : "";
            textsSet.emplace_back(key, o.texts[key]);
        } else {
            o.longs[key] = EDictGetLong(record, key);
        }
    }

    void SignIn(EDict* record) {
        if (offline) return;
        const char* user = EDictGetText(record, atoms::mail::Username);
        const char* password = EDictGetText(record, atoms::mail::Password);
        const auto it = accounts.find(user != nullptr ? user : "");
        const bool right = it != accounts.end() && password != nullptr && it->second == password;
        EDictPutHandle(record, atoms::mail::Manager, right ? nextManager++ : 0);
        EDictPutLong(record, atoms::mail::Status, right ? okStatus : 535);
        EDictPutLong(record, atoms::mail::Success, 1);
    }

    void Handle(EDict* record) {
        const auto message = static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Message));
        FakeObject* object = Find(message);
        switch (EDictGetType(record)) {
            case code::kOpen:
                SignIn(record);
                break;
            case code::kClose:
                signedOut.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Manager)));
                break;
            case code::kCreate:
                if (EDictHasKey(record, atoms::mail::Part)) {
                    EDictPutHandle(record, atoms::mail::Part, Add(FakeObject{{}, {}, {}, true}));
                } else {
                    const char* data = EDictGetText(record, atoms::mail::Data);
                    EDictPutHandle(record, atoms::mail::Message, AddFromData(data != nullptr ? data : ""));
                }
                break;
            case code::kAddPart:
                if (object != nullptr) object->parts.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Part)));
                break;
            case code::kGet:
                if (object != nullptr) Get(record, *object);
                break;
            case code::kSet:
                if (object != nullptr) Set(record, *object);
                break;
            case code::kDelete:
                // Parts belong to their message and go with it.
                freed.push_back(message);
                if (object != nullptr && !object->isPart) {
                    for (uint32_t part : object->parts) objects.erase(part);
                }
                objects.erase(message);
                break;
            case code::kFetchNext:
                if (!waiting.empty()) {
                    EDictPutHandle(record, atoms::mail::Message, AddFromData(waiting.front()));
                    waiting.pop_front();
                }
                break;
            case code::kSendMessage:
                if (object != nullptr) sent.push_back(Serialise(*object));
                EDictPutLong(record, atoms::mail::Success, sendSucceeds && object != nullptr ? 1 : 0);
                break;
            default:
                break;
        }
    }

    static bool HXCALL OnRequest(EDict* record) {
        if (instance_ != nullptr) instance_->Handle(record);
        return true;
    }

    static inline FakeMailServer* instance_ = nullptr;
    uint32_t last_ = 500;
};

// The connection manager: answers the manager query; dial requests and hang-ups are only counted,
// the test sends the outcome to ConnectPort itself.
class FakeConnectionManager {
public:
    void Install() {
        instance_ = this;
        HxPortAttach(atoms::mail::RASPort, &FakeConnectionManager::OnRequest);
    }

    uint32_t manager = 0;
    int queries = 0;
    std::vector<EDict> dials;
    std::vector<uint32_t> hangUps;

private:
    static bool HXCALL OnRequest(EDict* record) {
        FakeConnectionManager* self = instance_;
        if (self == nullptr) return true;
        switch (EDictGetType(record)) {
            case code::kQuery:
                ++self->queries;
                EDictPutHandle(record, atoms::mail::Manager, self->manager);
                break;
            case code::kOpen:
                self->dials.push_back(*record);
                break;
            case code::kClose:
                self->hangUps.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Connection)));
                break;
            default:
                break;
        }
        return true;
    }

    static inline FakeConnectionManager* instance_ = nullptr;
};

#endif
