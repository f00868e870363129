#include "mail/fetched_uids.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "fileio/unique_fd.h"

namespace harbor {

FetchedUids::FetchedUids(std::filesystem::path file, bool durable) : file_(std::move(file)), durable_(durable) {}

std::set<uint32_t> FetchedUids::Load(uint32_t uidvalidity) {
    std::set<uint32_t> uids;
    std::ifstream in(file_);
    std::string word;
    uint64_t validity = 0;
    if (!(in >> word >> validity) || word != "UIDVALIDITY" || validity != uidvalidity) return uids;
    uint64_t uid = 0;
    while (in >> uid) {
        if (uid > 0 && uid <= UINT32_MAX) uids.insert(static_cast<uint32_t>(uid));
    }
    return uids;
}

bool FetchedUids::Add(uint32_t uidvalidity, uint32_t uid) {
    std::ifstream in(file_);
    std::string word;
    uint64_t validity = 0;
    const bool same = (in >> word >> validity) && word == "UIDVALIDITY" && validity == uidvalidity;
    in.close();
    if (!same) {
        std::error_code ec;
        std::filesystem::create_directories(file_.parent_path(), ec);
        std::filesystem::remove(file_, ec);
        if (!Append(file_, "UIDVALIDITY " + std::to_string(uidvalidity) + "\n")) return false;
    }
    return Append(file_, std::to_string(uid) + "\n");
}

bool FetchedUids::NoteHanded(uint32_t uidvalidity, const std::vector<uint32_t>& uids) {
    std::string lines;
    for (uint32_t uid : uids) lines += std::to_string(uidvalidity) + " " + std::to_string(uid) + "\n";
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    return lines.empty() || Append(HandedFile(), lines);
}

std::set<uint32_t> FetchedUids::TakeHanded(uint32_t uidvalidity) {
    std::set<uint32_t> uids;
    std::ifstream in(HandedFile());
    uint64_t validity = 0, uid = 0;
    while (in >> validity >> uid) {
        if (validity == uidvalidity && uid > 0 && uid <= UINT32_MAX) uids.insert(static_cast<uint32_t>(uid));
    }
    std::error_code ec;
    std::filesystem::remove(HandedFile(), ec);
    return uids;
}

std::set<std::string> FetchedUids::LoadIds() {
    std::set<std::string> ids;
    std::ifstream in(IdsFile());
    for (std::string id; std::getline(in, id);) {
        if (!id.empty()) ids.insert(id);
    }
    return ids;
}

bool FetchedUids::AddId(const std::string& message_id) {
    if (message_id.empty() || message_id.find_first_of("\r\n") != std::string::npos) return false;
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    return Append(IdsFile(), message_id + "\n");
}

bool FetchedUids::Append(const std::filesystem::path& file, const std::string& line) {
    const UniqueFd fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (!fd.Valid()) return false;
    if (::write(fd.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) return false;
    return !durable_ || ::fsync(fd.Get()) == 0;
}

}  // namespace harbor
