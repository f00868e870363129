// Test support: a small file service (an in-memory tree answering FileIOPort), a small mail service
// (message objects answering MailPort) and a log of every request crossing a port. One instance of
// each service is installed at a time, after HxReset.
#ifndef WRENMAIL_TESTS_STORE_STORE_FAKES_H
#define WRENMAIL_TESTS_STORE_STORE_FAKES_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <fio_query.h>
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

using Path = std::vector<std::string>;
// A stored dictionary: keys in the writer's order, with kind, number and (for texts) a copy.
struct StoredEntry {
    uint16_t key;
    uint16_t type;
    int32_t number;
    std::string text;
};
using StoredDict = std::vector<StoredEntry>;

class FakeFileService {
public:
    struct Directory {
        std::map<std::string, Directory> dirs;
        std::map<std::string, StoredDict> files;
        std::map<std::string, std::string> unreadable;  // files that exist but are no dictionary
    };

    void Install() {
        instance_ = this;
        HxPortAttach(atoms::files::FileIOPort, &FakeFileService::OnRequest);
    }

    // The directory at the path, made on the way.
    Directory& At(const Path& path) {
        Directory* dir = &root;
        for (const std::string& name : path) dir = &dir->dirs[name];
        return *dir;
    }
    const Path& CurrentOf(uint32_t handle) { return handles_[handle]; }

    Directory root;
    bool failOpen = false;
    int reads = 0;
    std::vector<std::string> writeLog;  // "name create" or "name write", in request order

private:
    struct Listing final : FioQueryInterface {
        std::vector<std::string> names;
        int32_t HXCALL Count() override { return static_cast<int32_t>(names.size()); }
        const char* HXCALL NameAt(int32_t i) override { return i >= 0 && i < Count() ? names[size_t(i)].c_str() : nullptr; }
    };
    struct Answers {
        std::unique_ptr<wm::DictObject> dict;
        std::unique_ptr<Listing> listing;
    };

    static StoredDict Copy(DictInterface* dict) {
        StoredDict stored;
        for (int32_t n = 0; dict != nullptr && n < dict->KeyCount(); ++n) {
            uint16_t type = 0;
            const uint16_t key = dict->KeyAt(n, &type);
            const auto* text = type == EDictText ? static_cast<const char*>(HxDeref(dict->GetText(key))) : nullptr;
            stored.push_back({key, type, dict->GetLong(key), text != nullptr ? text : ""});
        }
        return stored;
    }

    wm::DictObject* Answer(uint32_t handle, const StoredDict& stored) {
        auto dict = std::make_unique<wm::DictObject>();
        for (const StoredEntry& entry : stored) {
            if (entry.type == EDictText) {
                dict->PutText(entry.key, entry.text.c_str());
            } else if (entry.type == EDictShort) {
                dict->PutShort(entry.key, static_cast<uint16_t>(entry.number));
            } else {
                dict->PutLong(entry.key, entry.number);
            }
        }
        answers_[handle].dict = std::move(dict);
        return answers_[handle].dict.get();
    }

    void ChangeDirectory(Path& path, const EDict* record) {
        const char* name = EDictGetText(record, atoms::files::DIRECTORY);
        if (EDictHasKey(record, atoms::files::ROOT)) path.clear();
        if (EDictHasKey(record, atoms::files::PARENT) && !path.empty()) path.pop_back();
        if (name != nullptr && At(path).dirs.count(name) != 0) path.push_back(name);
    }

    void Handle(EDict* record) {
        const auto handle = static_cast<uint32_t>(EDictGetLong(record, atoms::files::HANDLE));
        const char* file = EDictGetText(record, atoms::files::FILENAME);
        Path& path = handles_[handle];
        Directory& dir = At(path);
        switch (EDictGetType(record)) {
            case code::kOpen:
                EDictPutLong(record, atoms::STATUS, failOpen ? 0 : 1);
                EDictPutHandle(record, atoms::files::HANDLE, failOpen ? 0 : ++lastHandle_);
                break;
            case code::kSet:
                if (EDictHasKey(record, atoms::files::CHANGE)) {
                    ChangeDirectory(path, record);
                } else if (const char* name = EDictGetText(record, atoms::files::DIRECTORY); name && *name) {
                    dir.dirs[name];
                }
                break;
            case code::kWriteDict:
                dir.files[file] = Copy(static_cast<DictInterface*>(EDictGetPointer(record, atoms::files::DICT)));
                dir.unreadable.erase(file);
                writeLog.push_back(std::string(file) +
                                   (EDictHasKey(record, atoms::files::CREATE) ? " create" : " write"));
                break;
            case code::kStart:
                ++reads;
                if (dir.files.count(file) != 0) {
                    EDictPutHandle(record, atoms::files::DICT, HxRef(Answer(handle, dir.files[file])));
                }
                break;
            case code::kDelete:
                dir.files.erase(file);
                dir.unreadable.erase(file);
                break;
            case code::kQuery: {
                auto listing = std::make_unique<Listing>();
                for (const auto& [name, contents] : dir.files) listing->names.push_back(name);
                for (const auto& [name, contents] : dir.unreadable) listing->names.push_back(name);
                answers_[handle].listing = std::move(listing);
                EDictPutLong(record, atoms::STATUS, 1);
                EDictPutPointer(record, atoms::files::FioQuery,
                                static_cast<FioQueryInterface*>(answers_[handle].listing.get()));
                break;
            }
            default:
                break;
        }
    }

    static bool HXCALL OnRequest(EDict* record) {
        if (instance_ != nullptr) instance_->Handle(record);
        return true;
    }

    static inline FakeFileService* instance_ = nullptr;
    uint32_t lastHandle_ = 40;
    std::map<uint32_t, Path> handles_;
    std::map<uint32_t, Answers> answers_;
};

// Message objects as property maps; "Data" is set when a message is made from stored text.
class FakeMailService {
public:
    void Install() {
        instance_ = this;
        HxPortAttach(atoms::mail::MailPort, &FakeMailService::OnRequest);
    }

    uint32_t Make(const std::string& data) {
        objects[++lastHandle_][atoms::mail::Data] = data;
        return lastHandle_;
    }

    std::map<uint32_t, std::map<uint16_t, std::string>> objects;  // live objects
    int created = 0;

private:
    void Handle(EDict* record) {
        const auto message = static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Message));
        const uint16_t property = EDictKeyAt(record, 1, nullptr);
        switch (EDictGetType(record)) {
            case code::kCreate: {
                const char* data = EDictGetText(record, atoms::mail::Data);
                ++created;
                EDictPutHandle(record, atoms::mail::Message, Make(data != nullptr ? data : ""));
                break;
            }
            case code::kGet:
                if (objects.count(message) != 0 && objects[message].count(property) != 0) {
                    EDictPutText(record, property, objects[message][property].c_str());
                }
                break;
            case code::kDelete:
                objects.erase(message);
                break;
            default:
                break;
        }
    }

    static bool HXCALL OnRequest(EDict* record) {
        if (instance_ != nullptr) instance_->Handle(record);
        return true;
    }

    static inline FakeMailService* instance_ = nullptr;
    uint32_t lastHandle_ = 500;
};

// Every send and post, as the sender made it (before any handler answered).
class RequestLog {
public:
    struct Request {
        uint16_t port;
        EDict record;
    };
    RequestLog() { HxSetTraceHook(&RequestLog::Hook, this); }
    ~RequestLog() { HxSetTraceHook(nullptr, nullptr); }
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    std::vector<Request> requests;

    size_t Count(uint16_t port, uint16_t type = 0) const {
        size_t n = 0;
        for (const Request& r : requests) n += r.port == port && (type == 0 || EDictGetType(&r.record) == type);
        return n;
    }

private:
    static void Hook(int event, uint16_t port, const EDict* record, int32_t, void* user) {
        if (event != HxTraceDeliver) static_cast<RequestLog*>(user)->requests.push_back({port, *record});
    }
};

// The keys of a record with their kinds, in slot order.
inline std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record) {
    std::vector<std::pair<uint16_t, uint16_t>> keys;
    for (int32_t n = 0; n < EDictKeyCount(&record); ++n) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&record, n, &type);
        keys.emplace_back(key, type);
    }
    return keys;
}

#endif
