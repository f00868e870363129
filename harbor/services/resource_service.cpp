#include "services/resource_service.h"

#include <cassert>
#include <string>
#include <system_error>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"

namespace harbor {

ResourceService* ResourceService::live_ = nullptr;

ResourceService::ResourceService(std::filesystem::path content_dir, DataDictStore& store)
    : content_dir_(std::move(content_dir)),
      store_(store),
      res_port_(AtomOf("ResPort")),
      app_port_(AtomOf("AppPort")),
      xfile_(AtomOf("XFILE")),
      type_(AtomOf("TYPE")),
      datadict_(AtomOf("DATADICT")),
      name_(AtomOf("NAME")) {
    assert(live_ == nullptr && "one resource service at a time");
    live_ = this;
    HxPortAttach(res_port_, &ResourceService::OnResPort);
    HxPortAttach(app_port_, &ResourceService::OnAppPort);
}

ResourceService::~ResourceService() {
    HxPortDetach(res_port_, &ResourceService::OnResPort);
    HxPortDetach(app_port_, &ResourceService::OnAppPort);
    for (auto& [name, count] : loads_) {
        for (; count > 0; --count) store_.Release(name);
    }
    live_ = nullptr;
}

std::size_t ResourceService::Loads(uint16_t name) const {
    auto it = loads_.find(name);
    return it == loads_.end() ? 0 : it->second;
}

bool ResourceService::AcceptableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

std::filesystem::path ResourceService::PathOf(const std::string& file) const {
    if (first_folder_) {
        if (const std::optional<std::filesystem::path> folder = first_folder_()) {
            // Only a plain file of that folder: a link could lead out of the data root.
            std::error_code ec;
            const std::filesystem::path candidate = *folder / file;
            if (std::filesystem::symlink_status(candidate, ec).type() == std::filesystem::file_type::regular) {
                return candidate;
            }
        }
    }
    return content_dir_ / file;
}

bool ResourceService::OnResPort(EDict* record) {
    if (live_ == nullptr || record == nullptr) return false;
    if (EDictGetType(record) != code::kStart || EDictGetShort(record, live_->type_) != live_->datadict_) return false;
    live_->Load(*record);
    return true;
}

bool ResourceService::OnAppPort(EDict* record) {
    if (live_ == nullptr || record == nullptr) return false;
    const uint16_t name = EDictGetShort(record, live_->name_);
    if (live_->Loads(name) == 0) return false;  // not ours: a scene, a sprite, nothing
    switch (EDictGetType(record)) {
        case code::kStart:  // bound: the tree was published when it loaded
            return true;
        case code::kStop:
            live_->Release(name);
            return true;
        default:
            return false;
    }
}

void ResourceService::Load(EDict& record) {
    const char* text = EDictGetText(&record, xfile_);
    const std::string file = text != nullptr ? text : "";
    if (!AcceptableName(file)) {
        TraceNote("ResPort", "refused data dictionary name \"" + file + "\": not a plain file name");
        return;
    }
    const uint16_t name = AtomOf(file);
    std::string error;
    const std::filesystem::path path = PathOf(file);
    if (!store_.Load(name, path, error)) {
        ProblemNote("ResPort", "cannot load data dictionary \"" + file + "\": " + error);
        return;
    }
    if (read_note_ && path != content_dir_ / file) read_note_(path);
    ++loads_[name];
    EDictPutShort(&record, name_, name);
}

void ResourceService::Release(uint16_t name) {
    auto it = loads_.find(name);
    store_.Release(name);
    if (--it->second == 0) loads_.erase(it);
}

}  // namespace harbor
