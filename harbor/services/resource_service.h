// ResPort's data dictionary files, and their binding and release on AppPort:
//   ResPort 30013 XFILE="WNSettings.dct" TYPE=DATADICT  loads content/WNSettings.dct and answers
//                                                       NAME = the file name's atom
//   AppPort 30013 NAME=WNSettings.dct                   binds it: PSGet answers its tree
//   AppPort 30059 NAME=WNSettings.dct                   releases one load; the last frees it
// A file name is looked for first in the folder the first-folder resolver names (Harbor sets it to
// the file service's current directory, so the module can read files it has walked to, such as
// mail waiting in "Import"), then in the content folder.
// A file that is missing or damaged gets no NAME, and the trace names the file and the error.
// Other names on AppPort (scenes, dictionary sprites) belong to other services and are ignored.
#ifndef HARBOR_SERVICES_RESOURCE_SERVICE_H
#define HARBOR_SERVICES_RESOURCE_SERVICE_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <unordered_map>

#include "datadict/data_dict_store.h"
#include "edict.h"

namespace harbor {

class ResourceService {
public:
    // Files are looked up in `content_dir`; trees live in `store`, which may be shared with the
    // scene service's dictionary sprites (releases here touch only what was loaded here).
    ResourceService(std::filesystem::path content_dir, DataDictStore& store);
    ~ResourceService();
    ResourceService(const ResourceService&) = delete;
    ResourceService& operator=(const ResourceService&) = delete;

    // Answers the folder searched before the content folder, or nothing.
    using FolderResolver = std::function<std::optional<std::filesystem::path>()>;
    void SetFirstFolder(FolderResolver resolver) { first_folder_ = std::move(resolver); }
    // Told the path of every file loaded from the first folder (Harbor tells the file service,
    // whose import journal needs to know which import file the module read).
    using ReadNote = std::function<void(const std::filesystem::path&)>;
    void SetReadNote(ReadNote note) { read_note_ = std::move(note); }

    // Where `file` (an acceptable name) is loaded from.
    std::filesystem::path PathOf(const std::string& file) const;

    // Loads of `name` not yet released.
    std::size_t Loads(uint16_t name) const;

    // True for a file name the service accepts: a plain name, no folders, not "." or "..".
    static bool AcceptableName(const std::string& name);

private:
    static bool OnResPort(EDict* record);
    static bool OnAppPort(EDict* record);
    void Load(EDict& record);
    void Release(uint16_t name);

    static ResourceService* live_;  // HxHandler carries no context: one live instance
    std::filesystem::path content_dir_;
    FolderResolver first_folder_;
    ReadNote read_note_;
    DataDictStore& store_;
    std::unordered_map<uint16_t, std::size_t> loads_;
    uint16_t res_port_;
    uint16_t app_port_;
    uint16_t xfile_;
    uint16_t type_;
    uint16_t datadict_;
    uint16_t name_;
};

}  // namespace harbor

#endif
