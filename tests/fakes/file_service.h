// Test support: the file service on FileIOPort, an in-memory tree of folders holding dictionary
// files. Each handle keeps its own current folder; answers live until the handle's next request.
#ifndef WRENMAIL_TESTS_FAKES_FILE_SERVICE_H
#define WRENMAIL_TESTS_FAKES_FILE_SERVICE_H

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <fio_query.h>
#include "edict.h"
#include "messaging/dict_object.h"

using Path = std::vector<std::string>;
// A stored dictionary: keys in the writer's order, with kind, number (or real) and texts copied.
struct StoredEntry {
    uint16_t key;
    uint16_t type;
    int32_t number;
    std::string text;
    float real = 0.0f;
    bool operator==(const StoredEntry&) const = default;
};
inline void PrintTo(const StoredEntry& e, std::ostream* os) {
    *os << "{" << e.key << ", " << e.type << ", " << e.number << ", \"" << e.text << "\"}";
}
using StoredDict = std::vector<StoredEntry>;

// The folders of the tests' kite account ann_01 and player p7.
inline const Path kAnnInBox = {"MailBoxes", "kiteAccounts", "ann_01", "InBox"};
inline const Path kAnnOutBox = {"MailBoxes", "kiteAccounts", "ann_01", "OutBox"};
inline const Path kAnnTrash = {"MailBoxes", "kiteAccounts", "ann_01", "Trash"};
inline const Path kP7InBox = {"MailBoxes", "Players", "p7", "InBox"};
inline const Path kP7Trash = {"MailBoxes", "Players", "p7", "Trash"};

class FakeFileService {
public:
    struct Directory {
        std::map<std::string, Directory> dirs;
        std::map<std::string, StoredDict> files;
        std::map<std::string, std::string> unreadable;  // files that exist but are no dictionary
    };

    void Install();
    // The directory at the path, made on the way.
    Directory& At(const Path& path);
    const Path& CurrentOf(uint32_t handle) { return handles_[handle]; }
    // A message file as the module's store writes one: its text under "Message" and its MailID.
    void PutMessage(const Path& folder, uint32_t id, const std::string& text);
    // Stores the folder's counter file holding LastID = id.
    void PutLastId(const Path& folder, int32_t id);
    // The stored "Message" text of a file, "" when there is none.
    std::string MessageText(const Path& folder, const std::string& name);
    // Stores the dictionary as the file, as a write would.
    void Store(const Path& folder, const std::string& name, DictInterface& dict);
    // The stored file as a dictionary object, empty when there is none.
    std::unique_ptr<wm::DictObject> Load(const Path& folder, const std::string& name);

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
    // A read's answer owns a copy of the file's entries, as the real service's does: it stays valid
    // until the handle's next read, whatever is written meanwhile.
    struct Answers {
        StoredDict read;
        std::unique_ptr<wm::DictObject> dict;
        std::unique_ptr<Listing> listing;
    };

    void ChangeDirectory(Path& path, const EDict* record);
    void Handle(EDict* record);
    static bool HXCALL OnRequest(EDict* record);

    static inline FakeFileService* instance_ = nullptr;
    uint32_t lastHandle_ = 40;
    std::map<uint32_t, Path> handles_;
    std::map<uint32_t, Answers> answers_;
    std::list<StoredDict> loaded_;  // what Load answered
};

#endif
