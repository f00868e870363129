#include "file_service.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace {

// The interface has no float getter: a float is read from the writer's first record, where every
// dictionary a test writes keeps it.
float RealOf(DictInterface* dict, uint16_t key) {
    auto* object = dynamic_cast<wm::DictObject*>(dict);
    return object != nullptr ? EDictGetFloat(object->FirstRecord(), key) : 0.0f;
}

StoredDict Copy(DictInterface* dict) {
    StoredDict stored;
    for (int32_t n = 0; dict != nullptr && n < dict->KeyCount(); ++n) {
        uint16_t type = 0;
        const uint16_t key = dict->KeyAt(n, &type);
        const auto* text = type == EDictText ? static_cast<const char*>(HxDeref(dict->GetText(key))) : nullptr;
        const int32_t number = type == EDictText     ? 0
                               : type == EDictHandle ? static_cast<int32_t>(dict->GetHandle(key))
                                                     : dict->GetLong(key);
        stored.push_back({key, type, number, text != nullptr ? text : "", type == EDictFloat ? RealOf(dict, key) : 0.0f});
    }
    return stored;
}

std::unique_ptr<wm::DictObject> ToObject(const StoredDict& stored) {
    auto dict = std::make_unique<wm::DictObject>();
    for (const StoredEntry& entry : stored) {
        if (entry.type == EDictText) {
            dict->PutText(entry.key, entry.text.c_str());
        } else if (entry.type == EDictShort) {
            dict->PutShort(entry.key, static_cast<uint16_t>(entry.number));
        } else if (entry.type == EDictHandle) {
            dict->PutHandle(entry.key, static_cast<uint32_t>(entry.number));
        } else if (entry.type == EDictFloat) {
            dict->PutFloat(entry.key, entry.real);
        } else {
            dict->PutLong(entry.key, entry.number);
        }
    }
    return dict;
}

}  // namespace

void FakeFileService::Install() {
    instance_ = this;
    HxPortAttach(atoms::files::FileIOPort, &FakeFileService::OnRequest);
}

FakeFileService::Directory& FakeFileService::At(const Path& path) {
    Directory* dir = &root;
    for (const std::string& name : path) dir = &dir->dirs[name];
    return *dir;
}

void FakeFileService::PutMessage(const Path& folder, uint32_t id, const std::string& text) {
    At(folder).files["WN" + std::to_string(id) + ".wnl"] = {
        {atoms::mail::Message, EDictText, 0, text}, {wm::FetchAtom("MailID"), EDictLong, static_cast<int32_t>(id), ""}};
}

void FakeFileService::PutLastId(const Path& folder, int32_t id) {
    At(folder).files["folder.dat"] = {{wm::FetchAtom("LastID"), EDictLong, id, ""}};
}

std::string FakeFileService::MessageText(const Path& folder, const std::string& name) {
    auto& files = At(folder).files;
    if (files.count(name) == 0) return "";
    for (const StoredEntry& entry : files[name]) {
        if (entry.key == atoms::mail::Message) return entry.text;
    }
    return "";
}

void FakeFileService::Store(const Path& folder, const std::string& name, DictInterface& dict) {
    At(folder).files[name] = Copy(&dict);
}

std::unique_ptr<wm::DictObject> FakeFileService::Load(const Path& folder, const std::string& name) {
    auto& files = At(folder).files;
    // The object points at its texts: they stay with the fake for as long as the test runs.
    loaded_.push_back(files.count(name) != 0 ? files[name] : StoredDict{});
    return ToObject(loaded_.back());
}

void FakeFileService::ChangeDirectory(Path& path, const EDict* record) {
    const char* name = EDictGetText(record, atoms::files::DIRECTORY);
    if (EDictHasKey(record, atoms::files::ROOT)) path.clear();
    if (EDictHasKey(record, atoms::files::PARENT) && !path.empty()) path.pop_back();
    if (name != nullptr && At(path).dirs.count(name) != 0) path.push_back(name);
}

void FakeFileService::Handle(EDict* record) {
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
            writeLog.push_back(std::string(file) + (EDictHasKey(record, atoms::files::CREATE) ? " create" : " write"));
            break;
        case code::kStart:
            ++reads;
            if (dir.files.count(file) != 0) {
                answers_[handle].read = dir.files[file];
                answers_[handle].dict = ToObject(answers_[handle].read);
                EDictPutHandle(record, atoms::files::DICT, HxRef(answers_[handle].dict.get()));
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
            EDictPutPointer(record, atoms::files::FioQuery, static_cast<FioQueryInterface*>(answers_[handle].listing.get()));
            break;
        }
        default:
            break;
    }
}

bool HXCALL FakeFileService::OnRequest(EDict* record) {
    if (instance_ != nullptr) instance_->Handle(record);
    return true;
}
