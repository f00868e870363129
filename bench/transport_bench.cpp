// Mail transfer and the header list against Harbor's real services, beside plain code doing the
// same essential work:
//   BM_FetchNewMail            kFetchCount waiting messages fetched by the module into a kite inbox
//                              (mail service and file service in-process, durable, on a temp root)
//   BM_FetchNewMail_Baseline   the same bytes copied file to file with the same flushes: per
//                              message four atomic writes (the folder counter and the message file,
//                              each made and then written, as the store does) and the removal of
//                              the waiting file with a directory flush
//   BM_BuildHeaderList         the header list built from kListCount stored messages
//   BM_BuildHeaderList_Baseline  the same message texts read from plain files and parsed with GMime
//                              alone for sender, subject and date
//
// Both fetch benchmarks make the same nine flushes per message, which dominate their time. At the
// disk's slow moments a flush costs about 10 ms, so the fetch runs on kFetchCount = 500 messages,
// not 10,000, to keep the whole program near a minute; every fetched message costs the same, so
// the ratio means the same at any count. Flush times on a shared disk vary from run to run: compare
// the CPU times too.
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <gmime/gmime.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fileio/file_service.h"
#include "hxmsg.h"
#include "mail/mail_service.h"
#include "mail/password_hash.h"
#include "mail/post_office.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "state/user_identity.h"
#include "clients/file_requests.h"
#include "store/header_list_builder.h"
#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "clients/mail_requests.h"
#include "transport/mail_transfer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFetchCount = 500;
constexpr int kListCount = 10000;
constexpr const char* kAccount = "bench";
constexpr const char* kPassword = "kites";

// A plain message of about 600 bytes, a different subject for each number.
std::string MessageText(int n) {
    std::string text = "From: gran@wrenmail.local\r\nTo: bench@wrenmail.local\r\nSubject: Letter number " +
                       std::to_string(n) + "\r\nDate: Sat, 4 May 2024 10:00:00 +0000\r\n" +
                       "Content-Type: text/plain; charset=utf-8\r\n\r\n";
    while (text.size() < 600) text += "We saw three ducks and a very big fish near the boats today. ";
    return text;
}

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_transport_bench_");
    return scratch;
}

// The module signed in as kAccount on Harbor's mail and file services over `root`.
class ModuleOnHarbor {
public:
    ModuleOnHarbor(const fs::path& root, bool durable)
        : files_((HxReset(), root), harbor::FileServiceOptions{durable}),
          mail_(harbor::MailServiceOptions{root, "", true, harbor::PasswordCost::Fast(), durable, {}, {}}) {
        files_.Attach();
        wm::Services().file_service = wm::FileOpenHandle();
        wm::Identity().SetKiteLogin(kAccount, kPassword);
        wm::CreateHeaderList();
    }
    ~ModuleOnHarbor() {
        wm::CloseMailManager();
        wm::DeleteHeaderList();
        wm::CloseFileService();
        wm::Identity().ClearIdentity();
        files_.Detach();
    }
    ModuleOnHarbor(const ModuleOnHarbor&) = delete;
    ModuleOnHarbor& operator=(const ModuleOnHarbor&) = delete;

    bool SignIn() {
        const wm::SignInAnswer answer = wm::MailSignIn(kAccount, kPassword);
        wm::Services().mail_manager = answer.manager;
        return wm::SignedIn(answer);
    }

private:
    harbor::FileService files_;
    harbor::MailService mail_;
};

// kFetchCount messages waiting for kAccount, put there without flushes.
void PutWaitingMail(const fs::path& root) {
    harbor::PostOffice office({root, std::string(harbor::kDefaultMailDomain), harbor::PasswordCost::Fast(), false});
    office.Accounts().Add(kAccount, kPassword);
    for (int n = 0; n < kFetchCount; ++n) office.Submit(MessageText(n), {std::string(kAccount) + "@wrenmail.local"});
    office.DeliverSpool();
}

void BM_FetchNewMail(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path root = Space().Fresh("fetch");
        PutWaitingMail(root);
        {
            ModuleOnHarbor module(root, true);
            if (!module.SignIn()) state.SkipWithError("sign-in failed");
            state.ResumeTiming();
            wm::FetchNewMail();
            state.PauseTiming();
            if (wm::Services().header_list->Size() != static_cast<size_t>(kFetchCount)) {
                state.SkipWithError("not every message was fetched");
            }
        }
        HxReset();
        fs::remove_all(root);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFetchCount);
}
BENCHMARK(BM_FetchNewMail)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string ReadBytes(int dir, const char* name) {
    std::string bytes;
    const int fd = openat(dir, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    close(fd);
    return bytes;
}

// One file as the services write it: temporary file, flush, rename, directory flush.
bool WriteDurably(int dir, const char* name, const std::string& bytes) {
    const int fd = openat(dir, ".bench.tmp", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    const bool synced = fdatasync(fd) == 0;
    close(fd);
    return written && synced && renameat(dir, ".bench.tmp", dir, name) == 0 && fsync(dir) == 0;
}

// Names of the plain files of a folder, sorted (arrival order for the waiting mail's names).
std::vector<std::string> FileNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool CopyMessage(int from, int to, const std::string& name, int id) {
    const std::string bytes = ReadBytes(from, name.c_str());
    const std::string counter = std::to_string(id);
    const std::string target = "WN" + std::to_string(id) + ".wnl";
    bool ok = WriteDurably(to, "folder.dat", "") && WriteDurably(to, "folder.dat", counter);
    ok = WriteDurably(to, target.c_str(), "") && WriteDurably(to, target.c_str(), bytes) && ok;
    return unlinkat(from, name.c_str(), 0) == 0 && fsync(from) == 0 && ok;
}

void BM_FetchNewMail_Baseline(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path root = Space().Fresh("copy");
        fs::create_directories(root / "waiting");
        fs::create_directories(root / "inbox");
        for (int n = 0; n < kFetchCount; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "%016d.eml", n);
            std::FILE* out = std::fopen((root / "waiting" / name).c_str(), "wb");
            const std::string text = MessageText(n);
            std::fwrite(text.data(), 1, text.size(), out);
            std::fclose(out);
        }
        const int from = open((root / "waiting").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int to = open((root / "inbox").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        state.ResumeTiming();
        bool ok = true;
        int id = 1;
        for (const std::string& name : FileNames(root / "waiting")) ok = CopyMessage(from, to, name, ++id) && ok;
        state.PauseTiming();
        close(from);
        close(to);
        fs::remove_all(root);
        if (!ok) state.SkipWithError("a copy failed");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFetchCount);
}
BENCHMARK(BM_FetchNewMail_Baseline)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A root whose kite inbox holds kListCount message files as the store writes them, without
// flushes (they change nothing read afterwards).
const fs::path& StoredInboxRoot() {
    static const fs::path root = [] {
        const fs::path made = Space().Fresh("stored");
        ModuleOnHarbor module(made, false);
        wm::OpenMailFolder(kAccount, wm::OwnerKiteAccount, wm::FolderInBox);
        const uint32_t handle = wm::Services().file_service;
        for (int id = 1; id <= kListCount; ++id) {
            wm::DictObject stored;
            const std::string text = MessageText(id);
            stored.PutText(atoms::mail::Message, text.c_str());
            stored.PutLong(atoms::store::MailID, id);
            char name[wm::kMessageFileNameSize];
            wm::FormatMessageFileName(name, static_cast<uint32_t>(id));
            wm::FileWriteDict(handle, name, &stored);
        }
        wm::WriteLastId(kListCount);
        return made;
    }();
    return root;
}

void BM_BuildHeaderList(benchmark::State& state) {
    const fs::path& root = StoredInboxRoot();
    for (auto _ : state) {
        state.PauseTiming();
        {
            ModuleOnHarbor module(root, false);
            state.ResumeTiming();
            wm::BuildHeaderList();
            state.PauseTiming();
            if (wm::Services().header_list->Size() != static_cast<size_t>(kListCount)) {
                state.SkipWithError("a header is missing");
            }
        }
        HxReset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kListCount);
}
BENCHMARK(BM_BuildHeaderList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

struct PlainHeader {
    std::string from;
    std::string subject;
    int64_t date;
};

// The same texts as plain files, one message per file.
const fs::path& PlainMessagesDir() {
    static const fs::path dir = [] {
        const fs::path made = Space().Fresh("plain");
        for (int id = 1; id <= kListCount; ++id) {
            std::FILE* out = std::fopen((made / ("WN" + std::to_string(id) + ".eml")).c_str(), "wb");
            const std::string text = MessageText(id);
            std::fwrite(text.data(), 1, text.size(), out);
            std::fclose(out);
        }
        return made;
    }();
    return dir;
}

PlainHeader ParseHeader(const std::string& bytes) {
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    PlainHeader header{"", "", 0};
    if (message != nullptr) {
        char* from = internet_address_list_to_string(g_mime_message_get_from(message), nullptr, FALSE);
        header.from = from != nullptr ? from : "";
        g_free(from);
        const char* subject = g_mime_message_get_subject(message);
        header.subject = subject != nullptr ? subject : "";
        if (GDateTime* date = g_mime_message_get_date(message)) header.date = g_date_time_to_unix(date);
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return header;
}

void BM_BuildHeaderList_Baseline(benchmark::State& state) {
    const fs::path& dir = PlainMessagesDir();
    g_mime_init();
    for (auto _ : state) {
        std::vector<PlainHeader> headers;
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (const std::string& name : FileNames(dir)) headers.push_back(ParseHeader(ReadBytes(fd, name.c_str())));
        close(fd);
        if (headers.size() != static_cast<size_t>(kListCount)) state.SkipWithError("a header is missing");
        benchmark::DoNotOptimize(headers.data());
    }
    state.SetItemsProcessed(state.iterations() * kListCount);
}
BENCHMARK(BM_BuildHeaderList_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
