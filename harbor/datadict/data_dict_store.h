// The data dictionaries Harbor holds in memory, each published under a name atom so that PSGet
// answers its tree to the module. The store owns the trees and keeps each one alive while it is
// published.
//
// A name is held: loading or publishing a name that is already held adds a hold on the same
// tree, and the tree is withdrawn and freed when the last hold is released. The module closes a
// dictionary by a posted message, so a close can arrive after the same resource was opened
// again; counting keeps that second reader's tree in place.
#ifndef HARBOR_DATADICT_DATA_DICT_STORE_H
#define HARBOR_DATADICT_DATA_DICT_STORE_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>

#include "datadict/data_dict.h"
#include "datadict/data_dict_parser.h"

namespace harbor {

class DataDictStore {
public:
    DataDictStore() = default;
    DataDictStore(const DataDictStore&) = delete;
    DataDictStore& operator=(const DataDictStore&) = delete;
    ~DataDictStore();  // withdraws every name it published

    // Loads the file and publishes its tree under `name`. When `name` is already held for the
    // same path, adds a hold without reading the file again. False with a message in `error`
    // when the file cannot be loaded, when `name` is 0, or when `name` is held for another file.
    bool Load(uint16_t name, const std::filesystem::path& path, std::string& error,
              const DataDictLimits& limits = {});

    // Publishes a tree built elsewhere (a scene's dictionary) with one hold. False, and the
    // tree is dropped, when `name` is 0 or already held, or `dict` has no root.
    bool Publish(uint16_t name, std::unique_ptr<DataDict> dict);

    // Drops one hold; the last withdraws the name and frees the tree. False when not held.
    bool Release(uint16_t name);

    // The tree held under `name`, or null.
    DataDict* Find(uint16_t name);
    const DataDict* Find(uint16_t name) const;
    std::size_t Holds(uint16_t name) const;  // 0 when not held
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::unique_ptr<DataDict> dict;
        std::filesystem::path path;  // empty for published trees
        std::size_t holds = 0;
    };

    bool Add(uint16_t name, Entry entry);

    std::unordered_map<uint16_t, Entry> entries_;
};

}  // namespace harbor

#endif
