// The mail store against Harbor's real file service, beside plain POSIX code doing the same disk
// work: saving messages (with the same flushes), reading a folder of 100,000 message files, and
// the two single-file questions asked of such a folder.
//
// Saving is measured on kSaveCount messages, not 10,000: the module asks for four writes per
// save (an empty create and a write, of the counter and of the message file), which the service
// makes two: the counter written over in place, unflushed, and the message file as one flushed
// atomic write. At a few milliseconds per flush on this disk 10,000 saves take minutes. The ratio
// means the same at any count: every save costs the same whatever the folder holds, since ids are
// taken in order.
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fileio/file_service.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"
#include "store/message_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSaveCount = 1000;
constexpr int kFolderCount = 100000;

// A plain message as the mail service stores it, about 600 bytes.
const std::string& MessageText() {
    static const std::string text = [] {
        std::string made =
            "From: ann_01\r\nTo: bo_22\r\nSubject: Our trip to the lake\r\nDate: Sat, 4 May 2024 10:00:00 +0000\r\n"
            "Content-Type: text/plain; charset=utf-8\r\n\r\n";
        while (made.size() < 600) made += "We saw three ducks and a very big fish near the boats today. ";
        return made;
    }();
    return text;
}

// The mail service, reduced to the one answer saving needs: every message's "Data".
bool HXCALL AnswerData(EDict* record) {
    if (EDictGetType(record) == code::kGet && EDictHasKey(record, atoms::mail::Data)) {
        EDictPutText(record, atoms::mail::Data, MessageText().c_str());
    }
    return true;
}

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_store_bench_");
    return scratch;
}

// The module's file service handle on a real service over `root`, for as long as it lives.
class ModuleOnService {
public:
    ModuleOnService(const fs::path& root, bool durable) : service_(root, harbor::FileServiceOptions{durable}) {
        HxReset();
        service_.Attach();
        HxPortAttach(atoms::mail::MailPort, &AnswerData);
        wm::Services().file_service = wm::FileOpenHandle();
    }
    ~ModuleOnService() {
        wm::CloseFileService();
        service_.Detach();
        HxReset();
    }
    ModuleOnService(const ModuleOnService&) = delete;
    ModuleOnService& operator=(const ModuleOnService&) = delete;

private:
    harbor::FileService service_;
};

// The disk path of the inbox OpenMailFolder("bench", player, InBox) makes.
fs::path InBox(const fs::path& root) {
    return root / "MailBoxes" / "Players" / "bench" / "InBox";
}

std::string ReadBytes(int dir, const char* name) {
    std::string bytes;
    const int fd = openat(dir, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    close(fd);
    return bytes;
}

// The bytes of the message files the module saves, in save order: what the baseline writes.
const std::vector<std::string>& SavedFiles() {
    static const std::vector<std::string> files = [] {
        const fs::path root = Space().Fresh("sample");
        ModuleOnService module(root, false);
        wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
        std::vector<std::string> made;
        const int dir = open(InBox(root).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int i = 0; i < kSaveCount; ++i) {
            char name[wm::kMessageFileNameSize];
            wm::FormatMessageFileName(name, wm::SaveMessageToFolder(1));
            made.push_back(ReadBytes(dir, name));
        }
        close(dir);
        return made;
    }();
    return files;
}

void BM_SaveMessages(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path root = Space().Fresh("save");
        {
            ModuleOnService module(root, true);
            wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
            state.ResumeTiming();
            uint32_t last = 0;
            for (int i = 0; i < kSaveCount; ++i) last = wm::SaveMessageToFolder(1);
            state.PauseTiming();
            if (last != static_cast<uint32_t>(kSaveCount) + 1) state.SkipWithError("a save failed");
        }
        fs::remove_all(root);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSaveCount);
}
BENCHMARK(BM_SaveMessages)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One file as the service writes it: temporary file, flush, rename, directory flush.
bool WriteDurably(int dir, const char* name, const std::string& bytes) {
    const int fd = openat(dir, ".bench.tmp", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    const bool synced = fsync(fd) == 0;
    close(fd);
    return written && synced && renameat(dir, ".bench.tmp", dir, name) == 0 && fsync(dir) == 0;
}

void BM_SaveMessages_Baseline(benchmark::State& state) {
    const std::vector<std::string>& files = SavedFiles();
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = Space().Fresh("plain");
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        state.ResumeTiming();
        bool ok = true;
        for (int i = 0; i < kSaveCount; ++i) {
            char name[wm::kMessageFileNameSize];
            wm::FormatMessageFileName(name, static_cast<uint32_t>(i) + 2);
            ok = WriteDurably(fd, name, files[static_cast<size_t>(i)]) && ok;
        }
        state.PauseTiming();
        close(fd);
        fs::remove_all(dir);
        if (!ok) state.SkipWithError("a write failed");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSaveCount);
}
BENCHMARK(BM_SaveMessages_Baseline)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A root whose player inbox holds kFolderCount message files and a "folder.dat", written once per
// run without flushes (they change nothing read afterwards).
const fs::path& BigFolderRoot() {
    static const fs::path root = [] {
        const fs::path made = Space().Fresh("big");
        ModuleOnService module(made, false);
        wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
        const uint32_t handle = wm::Services().file_service;
        for (int id = 1; id <= kFolderCount; ++id) {
            wm::DictObject stored;
            stored.PutText(atoms::mail::Message, MessageText().c_str());
            stored.PutLong(atoms::store::MailID, id);
            char name[wm::kMessageFileNameSize];
            wm::FormatMessageFileName(name, static_cast<uint32_t>(id));
            wm::FileWriteDict(handle, name, &stored);
        }
        wm::WriteLastId(kFolderCount);
        return made;
    }();
    return root;
}

// A message file's name: its second "."-separated token is "wnl".
bool IsMessageFile(const char* name) {
    const char* dot = std::strchr(name, '.');
    return dot != nullptr && std::strncmp(dot + 1, "wnl", 3) == 0 && (dot[4] == '\0' || dot[4] == '.');
}

void BM_HeaderListInput(benchmark::State& state) {
    const fs::path& root = BigFolderRoot();
    ModuleOnService module(root, true);
    wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
    for (auto _ : state) {
        size_t bytes = 0;
        int files = 0;
        FioQueryInterface* listing = wm::FileList(wm::Services().file_service);
        for (int32_t i = 0; const char* name = listing != nullptr ? listing->NameAt(i) : nullptr; ++i) {
            uint32_t id = 0;
            const char* text = IsMessageFile(name) ? wm::LoadMessageFile(name, &id) : nullptr;
            if (text != nullptr && id != 0) {
                bytes += std::strlen(text);
                ++files;
            }
        }
        if (files != kFolderCount) state.SkipWithError("messages missing");
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kFolderCount);
}
BENCHMARK(BM_HeaderListInput)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HeaderListInput_Baseline(benchmark::State& state) {
    const fs::path inbox = InBox(BigFolderRoot());
    for (auto _ : state) {
        size_t bytes = 0;
        int files = 0;
        DIR* listing = opendir(inbox.c_str());
        const int dir = dirfd(listing);
        while (const dirent* entry = readdir(listing)) {
            if (IsMessageFile(entry->d_name)) {
                bytes += ReadBytes(dir, entry->d_name).size();
                ++files;
            }
        }
        closedir(listing);
        if (files != kFolderCount) state.SkipWithError("messages missing");
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kFolderCount);
}
BENCHMARK(BM_HeaderListInput_Baseline)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadLastId(benchmark::State& state) {
    ModuleOnService module(BigFolderRoot(), true);
    wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
    for (auto _ : state) {
        if (wm::ReadLastId() != static_cast<uint32_t>(kFolderCount)) state.SkipWithError("wrong id");
    }
}
BENCHMARK(BM_ReadLastId)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

// The same file's bytes, read raw.
void BM_ReadLastId_Baseline(benchmark::State& state) {
    const int dir = open(InBox(BigFolderRoot()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        if (ReadBytes(dir, "folder.dat").empty()) state.SkipWithError("no folder.dat");
    }
    close(dir);
}
BENCHMARK(BM_ReadLastId_Baseline)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

// Ids spread over the folder, so no one file stays hot.
uint32_t NextId(uint32_t id) {
    return (id * 7919u) % static_cast<uint32_t>(kFolderCount) + 1;
}

void BM_MessageFileExists(benchmark::State& state) {
    ModuleOnService module(BigFolderRoot(), true);
    wm::OpenMailFolder("bench", wm::OwnerPlayer, wm::FolderInBox);
    uint32_t id = 1;
    for (auto _ : state) {
        if (!wm::MessageFileExists(id)) state.SkipWithError("file missing");
        id = NextId(id);
    }
}
BENCHMARK(BM_MessageFileExists)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

// Opening and reading the same files raw: the module's test is "reads as a dictionary".
void BM_MessageFileExists_Baseline(benchmark::State& state) {
    const int dir = open(InBox(BigFolderRoot()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    uint32_t id = 1;
    for (auto _ : state) {
        char name[wm::kMessageFileNameSize];
        wm::FormatMessageFileName(name, id);
        if (ReadBytes(dir, name).empty()) state.SkipWithError("file missing");
        id = NextId(id);
    }
    close(dir);
}
BENCHMARK(BM_MessageFileExists_Baseline)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

// Only the stat of the same files: the cheapest possible "does it exist".
void BM_MessageFileExists_BaselineStat(benchmark::State& state) {
    const int dir = open(InBox(BigFolderRoot()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    uint32_t id = 1;
    for (auto _ : state) {
        char name[wm::kMessageFileNameSize];
        wm::FormatMessageFileName(name, id);
        struct stat status {};
        if (fstatat(dir, name, &status, AT_SYMLINK_NOFOLLOW) != 0) state.SkipWithError("file missing");
        id = NextId(id);
    }
    close(dir);
}
BENCHMARK(BM_MessageFileExists_BaselineStat)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
