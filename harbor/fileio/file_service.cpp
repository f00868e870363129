#include "fileio/file_service.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

#include "fileio/dict_collector.h"
#include "fileio/file_names.h"
#include "fileio/held_files.h"
#include "fileio/stored_messages.h"
#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

constexpr mode_t kDirMode = 0700;

bool Tracing() { return TraceLog::Instance().Enabled(); }

void Note(std::string_view text) { TraceNote("FileIOPort", text); }

std::string Line(std::string_view request, std::string_view name, std::string_view why) {
    std::string line(request);
    if (!name.empty()) line += " " + Quoted(name);
    line += ": ";
    line += why;
    return line;
}

// "30013 "WN5.wnl": why": what a request did not do, and why.
void Refused(std::string_view request, std::string_view name, std::string_view why) {
    if (Tracing()) Note(Line(request, name, why));
}

// A write that did not happen loses the user's data: said even without a trace.
void Lost(std::string_view name, std::string_view why) { ProblemNote("FileIOPort", Line("30073", name, why)); }

UniqueFd OpenRoot(const std::filesystem::path& root) {
    if (root.empty()) {
        ProblemNote("FileIOPort", "no data folder: nothing can be stored");
        return UniqueFd();
    }
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    // The root itself may be reached through links (the user chose it); nothing below it is.
    UniqueFd fd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) ProblemNote("FileIOPort", SystemError("cannot open the data folder " + root.string()));
    return fd;
}

bool IsRegularFileAt(int dir, const std::string& name) {
    struct stat st {};
    return ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

FileService* FileService::live_ = nullptr;

FileService::FileService(std::filesystem::path root, FileServiceOptions options)
    : keys_{AtomOf("FileIOPort"), AtomOf("HANDLE"),    AtomOf("STATUS"), AtomOf("CHANGE"),
            AtomOf("CREATE"),     AtomOf("DIRECTORY"), AtomOf("PARENT"), AtomOf("ROOT"),
            AtomOf("FILENAME"),   AtomOf("DICT"),      AtomOf("FioQuery")},
      root_path_(std::move(root)),
      options_(options),
      root_(OpenRoot(root_path_)),
      imports_(root_.Get(), options_.durable) {
    if (!root_.Valid()) return;
    if (const std::string removed = imports_.Settle(); !removed.empty()) {
        Note("removed " + Quoted(removed) + " from the Import folder: its letter was stored before a crash");
    }
    SweepHeld(root_path_, static_cast<long long>(std::time(nullptr)));
    if (const std::size_t swept = HoldEmptyMessageFiles(root_.Get(), root_path_, options_.durable)) {
        Note("moved " + std::to_string(swept) + " empty message file(s) of interrupted saves to the holding area");
    }
}

FileService::~FileService() {
    if (pending_) Carry(*std::exchange(pending_, std::nullopt));
    Detach();
}

void FileService::Attach() {
    if (attached_) return;
    assert(live_ == nullptr && "one file service attached at a time");
    live_ = this;
    attached_ = true;
    StoredMessages::Instance().SetWatching(true);
    HxPortAttach(keys_.port, &FileService::OnPort);
}

void FileService::Detach() {
    if (!attached_) return;
    HxPortDetach(keys_.port, &FileService::OnPort);
    StoredMessages::Instance().SetWatching(false);
    live_ = nullptr;
    attached_ = false;
}

bool FileService::OnPort(EDict* record) {
    return live_ != nullptr && record != nullptr && live_->HandleRecord(*record);
}

// The member that answers a request of `type`; null for a type that is not the file service's.
FileService::Handler FileService::HandlerFor(int type) {
    switch (type) {
        case code::kOpen: return &FileService::OpenHandle;
        case code::kClose: return &FileService::CloseHandle;
        case code::kSet: return &FileService::ChangeOrCreate;
        case code::kWriteDict: return &FileService::WriteDict;
        case code::kStart: return &FileService::ReadDict;
        case code::kDelete: return &FileService::Delete;
        case code::kQuery: return &FileService::List;
        default: return nullptr;
    }
}

bool FileService::HandleRecord(EDict& r) {
    const Handler handler = HandlerFor(EDictGetType(&r));
    if (handler == nullptr) return false;
    // A waiting empty create is carried out before any request but a write of its own file.
    std::optional<PendingCreate> waiting = std::exchange(pending_, std::nullopt);
    if (waiting && !Replaces(r, *waiting)) Carry(*std::exchange(waiting, std::nullopt));
    (this->*handler)(r);
    // The write that was to replace it failed: the file must still exist, as the create said.
    if (waiting && EDictGetLong(&r, keys_.status) == 0) Carry(*waiting);
    return true;
}

FileHandle* FileService::Target(const EDict& r) {
    const auto handle = static_cast<uint32_t>(EDictGetLong(&r, keys_.handle));
    FileHandle* h = handles_.Find(handle);
    if (h != nullptr) last_handle_ = handle;
    if (h == nullptr && Tracing()) {
        Note(std::to_string(EDictGetType(&r)) + ": unknown handle " + std::to_string(handle) + ": nothing done");
    }
    return h;
}

std::optional<std::filesystem::path> FileService::LastUsedDirectory() {
    const FileHandle* h = handles_.Find(last_handle_);
    if (h == nullptr || h->lost > 0) return std::nullopt;
    std::filesystem::path dir = root_path_;
    for (const std::string& name : h->path) dir /= name;
    return dir;
}

void FileService::NoteDataFileRead(const std::filesystem::path& file) {
    std::vector<std::string> path;
    for (const auto& part : file.lexically_relative(root_path_)) path.push_back(part.string());
    if (!path.empty() && path.front() != "..") imports_.NoteRead(path);
}

std::optional<std::string> FileService::NameIn(const EDict& r, uint16_t key, std::string_view request) {
    const char* text = EDictHasKey(&r, key) ? EDictGetText(&r, key) : nullptr;
    if (text == nullptr) {
        Refused(request, {}, "no " + KnownName(key) + " text");
        return std::nullopt;
    }
    if (const char* why = RefusedName(text)) {
        Refused(request, text, why);
        return std::nullopt;
    }
    return std::string(text);
}

void FileService::Flush(int dir) const {
    if (options_.durable && ::fsync(dir) != 0) Note(SystemError("cannot flush a directory"));
}

void FileService::OpenHandle(EDict& r) {
    UniqueFd dir;
    if (root_.Valid()) dir = UniqueFd(::fcntl(root_.Get(), F_DUPFD_CLOEXEC, 0));
    if (!dir.Valid()) {
        Note("30062: no data folder: no handle");
        EDictPutLong(&r, keys_.status, 0);
        EDictPutHandle(&r, keys_.handle, 0);
        return;
    }
    EDictPutLong(&r, keys_.status, 1);
    EDictPutHandle(&r, keys_.handle, handles_.Open(std::move(dir)));
}

void FileService::CloseHandle(EDict& r) {
    if (Target(r) == nullptr) return Answer(r, false);
    handles_.Close(static_cast<uint32_t>(EDictGetLong(&r, keys_.handle)));
    Answer(r, true);
}

void FileService::ChangeOrCreate(EDict& r) {
    FileHandle* h = Target(r);
    const bool create = Flag(r, keys_.create);
    const bool change = Flag(r, keys_.change);
    if (h == nullptr || (!create && !change)) {
        if (h != nullptr) Note("30052: neither CREATE nor CHANGE: nothing done");
        return Answer(r, false);
    }
    bool ok = true;
    if (create) {
        const std::optional<std::string> name = NameIn(r, keys_.directory, "30052 CREATE");
        ok = name && Placed(*h, "30052 CREATE") && CreateDirectory(*h, *name);
    }
    if (change) ok = ChangeDirectory(*h, r) && ok;
    Answer(r, ok);
}

bool FileService::CreateDirectory(FileHandle& h, const std::string& asked) {
    const std::string name = FirstSpelling(h.dir.Get(), asked);
    if (::mkdirat(h.dir.Get(), name.c_str(), kDirMode) == 0) {
        Flush(h.dir.Get());
        return true;
    }
    struct stat st {};
    if (errno == EEXIST) {
        const bool directory = ::fstatat(h.dir.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        if (directory) return true;  // asked again and again by design: harmless
        Refused("30052 CREATE", name, "something else has that name");
        return false;
    }
    Refused("30052 CREATE", name, SystemError("cannot create"));
    return false;
}

// Root, parent and name are applied to a copy; the handle moves only when every step worked.
// A change that fails leaves the handle in no folder (fail closed): a module that does not look
// at the answer must not go on listing, writing or deleting in the folder it failed to leave.
bool FileService::ChangeDirectory(FileHandle& h, const EDict& r) {
    std::vector<std::string> path = h.path;
    std::size_t lost = h.lost;
    const bool to_root = Flag(r, keys_.root);
    const bool up = Flag(r, keys_.parent);
    const bool down = EDictHasKey(&r, keys_.directory);
    if (!to_root && !up && !down) {
        Note("30052 CHANGE: no ROOT, PARENT or DIRECTORY: nothing done");
        return false;
    }
    if (to_root) {
        path.clear();
        lost = 0;
    }
    if (up && lost > 0) {
        --lost;
    } else if (up && !path.empty()) {
        path.pop_back();
    }
    if (lost > 0) {
        Note("30052 CHANGE: the handle is in no folder since a change failed; ROOT finds one again");
        return Lose(h, std::move(path), lost + (down ? 1 : 0));
    }
    UniqueFd dir = (to_root || up) ? OpenPath(root_.Get(), path) : UniqueFd(::fcntl(h.dir.Get(), F_DUPFD_CLOEXEC, 0));
    if (!dir.Valid()) {
        Refused("30052 CHANGE", {}, SystemError("the directory is gone"));
        return Lose(h, std::move(path), 1);
    }
    if (down && !Descend(path, dir, r)) return Lose(h, std::move(path), 1);
    h.path = std::move(path);
    h.dir = std::move(dir);
    h.lost = 0;
    return true;
}

bool FileService::Lose(FileHandle& h, std::vector<std::string> path, std::size_t lost) {
    h.path = std::move(path);
    h.dir = UniqueFd();
    h.lost = lost;
    if (h.listing) {
        std::string ignored;
        h.listing->Take(-1, ignored);  // an answered listing of the old folder names nothing now
    }
    return false;
}

bool FileService::Placed(const FileHandle& h, std::string_view request) const {
    if (h.dir.Valid()) return true;
    Note(std::string(request) + ": the handle is in no folder (a change of folder failed): nothing done");
    return false;
}

bool FileService::Descend(std::vector<std::string>& path, UniqueFd& dir, const EDict& r) {
    const std::optional<std::string> name = NameIn(r, keys_.directory, "30052 CHANGE");
    if (!name) return false;
    const std::string spelled = FirstSpelling(dir.Get(), *name);
    UniqueFd next = OpenSubdirectory(dir.Get(), spelled);
    if (!next.Valid()) {
        Refused("30052 CHANGE", *name, errno == ELOOP ? std::string("a symbolic link: not followed")
                                                      : SystemError("cannot enter"));
        return false;
    }
    path.push_back(spelled);
    dir = std::move(next);
    return true;
}

void FileService::WriteDict(EDict& r) {
    FileHandle* h = Target(r);
    const std::optional<std::string> name = h != nullptr ? NameIn(r, keys_.filename, "30073") : std::nullopt;
    if (!name) return Answer(r, false);
    auto* dict = static_cast<DictInterface*>(HxDeref(static_cast<uint32_t>(EDictGetLong(&r, keys_.dict))));
    if (dict == nullptr && !Flag(r, keys_.create)) {
        Refused("30073", *name, "no DICT to write");
        return Answer(r, false);
    }
    if (!Placed(*h, "30073")) return Answer(r, false);
    // The module writes every file as an empty create and then the real write. The create waits:
    // when the next request writes the same file, only that write happens (one atomic write, and
    // a crash leaves the old file or the new one, never an emptied one); any other request first
    // carries the create out.
    if (Flag(r, keys_.create) && (dict == nullptr || dict->KeyCount() == 0)) {
        return Answer(r, Defer(*h, static_cast<uint32_t>(EDictGetLong(&r, keys_.handle)), *name));
    }
    // A mailbox's counter needs no flush: it only says where the search for a free message id
    // starts, and that search steps over every id whose file exists, so a counter a crash takes
    // back (or empties) costs a longer search, never a letter. Only the message file itself must
    // be on the disk when a save is answered.
    const bool durable = options_.durable && !IsFolderCounter(*name);
    if (IsMessageFile(*name) && dict != nullptr) imports_.BeforeFill(h->path, *name);
    Answer(r, Store(*h, *name, dict, durable));
}

// Only a missing name or a regular file waits; anything else (a directory, a link) is dealt with
// at once, so that the answer says what the create did.
bool FileService::Defer(FileHandle& h, uint32_t handle, const std::string& name) {
    struct stat st {};
    if (::fstatat(h.dir.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) {
        return Store(h, name, nullptr, false);
    }
    pending_ = PendingCreate{handle, name};
    return true;
}

bool FileService::Replaces(const EDict& r, const PendingCreate& create) const {
    if (EDictGetType(&r) != code::kWriteDict || static_cast<uint32_t>(EDictGetLong(&r, keys_.handle)) != create.handle) {
        return false;
    }
    const char* name = EDictHasKey(&r, keys_.filename) ? EDictGetText(&r, keys_.filename) : nullptr;
    return name != nullptr && create.name == name;
}

// A new empty file needs no flush: a crash before the write that fills it loses nothing.
void FileService::Carry(const PendingCreate& create) {
    FileHandle* h = handles_.Find(create.handle);
    if (h != nullptr && h->dir.Valid()) Store(*h, create.name, nullptr, false);
}

// The whole dictionary or nothing: one value that cannot be stored keeps the old file as it was.
bool FileService::Store(FileHandle& h, const std::string& name, DictInterface* dict, bool durable) {
    std::string why;
    entries_.clear();
    if (dict != nullptr && !CollectEntries(*dict, entries_, why)) {
        Lost(name, why + ": the file is left as it was");
        return false;
    }
    if (!EncodeDictFile(entries_, bytes_)) {
        Lost(name, "the dictionary is too large to store");
        return false;
    }
    if (!KeepUnread(h, name)) return false;
    // A mailbox's counter is written over in place when it can be (the id search bears a counter
    // a crash takes back); anything else, and a counter that cannot, is replaced whole.
    const bool in_place = !durable && IsFolderCounter(name) && OverwriteInPlace(h.dir.Get(), name, bytes_);
    if (!in_place && !WriteAtomically(h.dir.Get(), name, bytes_, durable, hook_, why)) {
        Lost(name, why);
        return false;
    }
    for (const DictFileEntry& entry : entries_) {
        if (entry.kind == StoredKind::Text && entry.key == "Message") StoredMessages::Instance().NoteStored(entry.text);
    }
    return true;
}

void FileService::ReadDict(EDict& r) {
    FileHandle* h = Target(r);
    const std::optional<std::string> name = h != nullptr ? NameIn(r, keys_.filename, "30013") : std::nullopt;
    const bool ok = name && Placed(*h, "30013") && Load(*h, *name);
    EDictPutHandle(&r, keys_.dict, ok ? HxRef(static_cast<DictInterface*>(h->dict.get())) : 0);
    Answer(r, ok);
}

bool FileService::Load(FileHandle& h, const std::string& name) {
    std::string why;
    bool read = ReadRegularFile(h.dir.Get(), name, kMaxDictFileBytes, bytes_, why) &&
                DecodeDictFile(bytes_, entries_, Tracing() ? &why : nullptr);
    if (!read) {
        Refused("30013", name, why.empty() ? "not a dictionary file" : why);
    } else {
        if (!h.dict) h.dict = std::make_unique<StoredDict>();
        if (!(read = h.dict->Load(entries_))) Refused("30013", name, "the name table is full");
    }
    // The module takes a file it cannot read for a missing one, and may write a new one over it
    // (an empty address book over one too large to read): that file is kept (KeepUnread).
    if (!read && !IsFolderCounter(name) && IsRegularFileAt(h.dir.Get(), name)) {
        unread_.insert(UnreadKey(h, name));
    } else if (!unread_.empty()) {
        unread_.erase(UnreadKey(h, name));
    }
    return read;
}

std::string FileService::UnreadKey(const FileHandle& h, const std::string& name) {
    std::string key;
    for (const std::string& part : h.path) key += part + "/";
    return key + name;
}

// A file whose read failed in this run, though it was there, goes to the holding area before
// anything is written over it; when it cannot go there, nothing is written.
bool FileService::KeepUnread(FileHandle& h, const std::string& name) {
    if (unread_.empty() || unread_.erase(UnreadKey(h, name)) == 0 || !IsRegularFileAt(h.dir.Get(), name)) return true;
    std::string why;
    if (!HoldFile(root_.Get(), h.path, h.dir.Get(), name, options_.durable, why)) {
        Lost(name, "the file there could not be read and is kept as it was (" + why + ")");
        return false;
    }
    ProblemNote("FileIOPort", Line("30073", name, "the file there could not be read: it was put in the holding area "
                                                  "(harbor recover lists it) and a new one written"));
    return true;
}

void FileService::Delete(EDict& r) {
    FileHandle* h = Target(r);
    const std::optional<std::string> name = h != nullptr ? NameIn(r, keys_.filename, "30004") : std::nullopt;
    if (!name || !Placed(*h, "30004")) return Answer(r, false);
    if (IsMessageFile(*name)) return Answer(r, Hold(*h, *name));
    // The module deletes every import file it tried, stored or not: one whose letter it did not
    // store (a mail file dropped into Import/, a damaged one) is held, not lost.
    if (imports_.Unimported(h->path, *name)) {
        const bool held = Hold(*h, *name);
        if (held) {
            imports_.NoteDeleted(h->path, *name);
            ProblemNote("FileIOPort", Line("30004", *name, "an import file that was not imported: put in the holding area "
                                                          "(harbor recover lists it)"));
        }
        return Answer(r, held);
    }
    if (::unlinkat(h->dir.Get(), name->c_str(), 0) != 0) {
        Refused("30004", *name, errno == EISDIR ? std::string("a directory: not deleted") : SystemError("cannot delete"));
        return Answer(r, false);
    }
    Flush(h->dir.Get());
    imports_.NoteDeleted(h->path, *name);
    Answer(r, true);
}

// A message file is kept in the holding area rather than deleted (held_files.h); when it cannot
// be moved there it stays where it is: a letter twice is better than a letter lost.
bool FileService::Hold(FileHandle& h, const std::string& name) {
    struct stat st {};
    if (::fstatat(h.dir.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
        Refused("30004", name, S_ISDIR(st.st_mode) ? std::string("a directory: not deleted") : SystemError("cannot delete"));
        return false;
    }
    std::string why;
    if (!HoldFile(root_.Get(), h.path, h.dir.Get(), name, options_.durable, why)) {
        ProblemNote("FileIOPort", Line("30004", name, "not deleted: " + why));
        return false;
    }
    return true;
}

void FileService::List(EDict& r) {
    FileHandle* h = Target(r);
    if (h == nullptr) return Answer(r, false);
    if (!h->listing) h->listing = std::make_unique<DirectoryListing>();
    std::string why;
    if (!h->dir.Valid()) {
        h->listing->Take(-1, why);  // no folder: an empty listing, for a module that does not look
        Placed(*h, "30049");
        Answer(r, false);
        EDictPutPointer(&r, keys_.query, static_cast<FioQueryInterface*>(h->listing.get()));
        return;
    }
    if (!h->listing->Take(h->dir.Get(), why)) {
        Refused("30049", {}, why);
        return Answer(r, false);
    }
    if (h->listing->CleanedUp() > 0 && Tracing()) {
        Note("30049: removed " + std::to_string(h->listing->CleanedUp()) + " temporary file(s) of interrupted writes");
    }
    Answer(r, true);
    EDictPutPointer(&r, keys_.query, static_cast<FioQueryInterface*>(h->listing.get()));
}

}  // namespace harbor
