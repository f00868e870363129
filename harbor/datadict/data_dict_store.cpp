#include "datadict/data_dict_store.h"

#include <utility>

#include "datadict/data_dict_loader.h"
#include "hxmsg.h"

namespace harbor {

DataDictStore::~DataDictStore() {
    for (auto& [name, entry] : entries_) HxWithdrawValue(name);
}

bool DataDictStore::Add(uint16_t name, Entry entry) {
    if (!HxPublishValue(name, entry.dict->Root())) return false;
    entries_.emplace(name, std::move(entry));
    return true;
}

bool DataDictStore::Load(uint16_t name, const std::filesystem::path& path, std::string& error,
                         const DataDictLimits& limits) {
    if (name == 0) {
        error = path.string() + ": no name to publish it under";
        return false;
    }
    if (auto it = entries_.find(name); it != entries_.end()) {
        if (it->second.path.empty() || it->second.path != path.lexically_normal()) {
            error = path.string() + ": its name is held by another dictionary";
            return false;
        }
        ++it->second.holds;
        return true;
    }
    DataDictResult loaded = LoadDataDictFile(path, limits);
    if (!loaded) {
        error = std::move(loaded.error);
        return false;
    }
    if (!Add(name, Entry{std::move(loaded.dict), path.lexically_normal(), 1})) {
        error = path.string() + ": cannot be published";
        return false;
    }
    return true;
}

bool DataDictStore::Publish(uint16_t name, std::unique_ptr<DataDict> dict) {
    if (name == 0 || dict == nullptr || dict->Root() == nullptr) return false;
    if (entries_.contains(name)) return false;
    return Add(name, Entry{std::move(dict), {}, 1});
}

bool DataDictStore::Release(uint16_t name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) return false;
    if (--it->second.holds > 0) return true;
    HxWithdrawValue(name);  // before the tree goes, so PSGet never answers freed memory
    entries_.erase(it);
    return true;
}

DataDict* DataDictStore::Find(uint16_t name) {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.dict.get();
}

const DataDict* DataDictStore::Find(uint16_t name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.dict.get();
}

std::size_t DataDictStore::Holds(uint16_t name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? 0 : it->second.holds;
}

}  // namespace harbor
