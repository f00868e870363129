#include "mail_service.h"

#include <sstream>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace {

FakeObject Parse(const std::string& data) {
    FakeObject object;
    std::istringstream in(data);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "Date") {
            object.longs[atoms::mail::Date] = std::atoi(value.c_str());
        } else if (key != "Part") {
            object.texts[wm::FetchAtom(key.c_str())] = value;
        }
    }
    object.texts[atoms::mail::Data] = data;
    return object;
}

}  // namespace

void FakeMailServer::Install() {
    instance_ = this;
    HxPortAttach(atoms::mail::MailPort, &FakeMailServer::OnRequest);
}

std::string FakeMailServer::DataOf(const std::string& from, const std::string& subject, int32_t date,
                                   const std::string& to, const std::string& body) {
    return "From=" + from + "\nSubject=" + subject + "\nDate=" + std::to_string(date) + "\nTo=" + to +
           "\nBody=" + body + "\n";
}

uint32_t FakeMailServer::Add(FakeObject object) {
    objects[++last_] = std::move(object);
    return last_;
}

uint32_t FakeMailServer::Make(const std::string& data) { return Add(Parse(data)); }

std::string FakeMailServer::Data(uint32_t handle) const {
    const auto found = objects.find(handle);
    if (found == objects.end()) return "";
    const FakeObject& o = found->second;
    if (o.texts.count(atoms::mail::Data) != 0) return o.texts.at(atoms::mail::Data);
    auto text = [](const FakeObject& of, uint16_t key) { return of.texts.count(key) ? of.texts.at(key) : std::string(); };
    const int32_t date = o.longs.count(atoms::mail::Date) ? o.longs.at(atoms::mail::Date) : 0;
    std::string data = DataOf(text(o, atoms::mail::From), text(o, atoms::mail::Subject), date,
                              text(o, atoms::mail::To), text(o, atoms::mail::Body));
    for (uint32_t part : o.parts) {
        const auto p = objects.find(part);
        if (p == objects.end()) continue;
        data += "Part=" + text(p->second, atoms::mail::ContentType) + "|" + text(p->second, atoms::mail::Body) + "\n";
    }
    return data;
}

int FakeMailServer::Messages() const {
    int n = 0;
    for (const auto& [handle, o] : objects) n += o.isPart ? 0 : 1;
    return n;
}

void FakeMailServer::Get(EDict* record, FakeObject& o, uint32_t handle) {
    if (EDictHasKey(record, atoms::mail::Index)) {
        const int32_t index = EDictGetLong(record, atoms::mail::Index);
        const bool inRange = index >= 0 && static_cast<size_t>(index) < o.parts.size();
        EDictPutHandle(record, atoms::mail::Part, inRange ? o.parts[static_cast<size_t>(index)] : 0);
        return;
    }
    uint16_t type = 0;
    const uint16_t key = EDictKeyAt(record, 1, &type);
    if (key == atoms::mail::Data) {
        answer_ = Data(handle);
        EDictPutText(record, key, answer_.c_str());
    } else if (type == EDictText && o.texts.count(key) != 0) {
        EDictPutText(record, key, o.texts[key].c_str());
    } else if (type == EDictLong) {
        const int32_t value = key == atoms::mail::Parts ? static_cast<int32_t>(o.parts.size())
                              : o.longs.count(key)      ? o.longs[key]
                                                        : 0;
        EDictPutLong(record, key, value);
    }
}

void FakeMailServer::Set(const EDict* record, FakeObject& o) {
    uint16_t type = 0;
    const uint16_t key = EDictKeyAt(record, 1, &type);
    o.texts.erase(atoms::mail::Data);  // changed: its Data is its properties from now on
    if (type == EDictText) {
        const char* text = EDictGetText(record, key);
        o.texts[key] = text != nullptr ? text : "";
    } else {
        o.longs[key] = EDictGetLong(record, key);
    }
}

void FakeMailServer::SignIn(EDict* record) {
    if (offline) return;
    const char* user = EDictGetText(record, atoms::mail::Username);
    const char* password = EDictGetText(record, atoms::mail::Password);
    const auto it = accounts.find(user != nullptr ? user : "");
    const bool right = it != accounts.end() && password != nullptr && it->second == password;
    EDictPutHandle(record, atoms::mail::Manager, right ? nextManager++ : 0);
    EDictPutLong(record, atoms::mail::Status, right ? okStatus : 535);
    EDictPutLong(record, atoms::mail::Success, 1);
}

void FakeMailServer::Handle(EDict* record) {
    const auto message = static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Message));
    const auto found = objects.find(message);
    FakeObject* object = found == objects.end() ? nullptr : &found->second;
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
                ++created;
                EDictPutHandle(record, atoms::mail::Message, data != nullptr ? Make(data) : Add({}));
            }
            break;
        case code::kAddPart:
            if (object != nullptr) {
                object->texts.erase(atoms::mail::Data);
                object->parts.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Part)));
            }
            break;
        case code::kGet:
            if (object != nullptr) Get(record, *object, message);
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
                EDictPutHandle(record, atoms::mail::Message, Make(waiting.front()));
                waiting.pop_front();
            }
            break;
        case code::kSendMessage:
            if (object != nullptr) sent.push_back(Data(message));
            EDictPutLong(record, atoms::mail::Success, sendSucceeds && object != nullptr ? 1 : 0);
            break;
        default:
            break;
    }
}

bool HXCALL FakeMailServer::OnRequest(EDict* record) {
    if (instance_ != nullptr) instance_->Handle(record);
    return true;
}

void FakeConnectionManager::Install() {
    instance_ = this;
    HxPortAttach(atoms::mail::RASPort, &FakeConnectionManager::OnRequest);
}

bool HXCALL FakeConnectionManager::OnRequest(EDict* record) {
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
