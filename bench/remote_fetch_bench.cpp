// Fetching 2,000 messages from a real IMAP server on 127.0.0.1 through the mail service (sign-in
// to the last MailNextMessage; without storing, and with each message written to a file as a
// store would), against mbsync pulling the same mailbox into a maildir, same run, same Dovecot.
// The servers come from scripts/mail-servers; the messages are loaded as maildir files.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_scratch.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "mail/mail_service.h"
#include "mail/mail_transfer.h"
#include "mail/server_settings.h"
#include "base/atoms.h"
#include "base/trace_log.h"

namespace {

constexpr int kMessages = 2000;
const std::string kScripts = WRENMAIL_SOURCE_DIR "/scripts/mail-servers";

bench::Scratch scratch("wrenmail-remote-bench-");
std::filesystem::path servers;
const int kImaps = 20993 + static_cast<int>(::getpid() % 500) * 4;

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

bool StartServers() {
    servers = scratch.Fresh("servers");
    std::filesystem::permissions(servers.parent_path(), std::filesystem::perms(0755));
    std::filesystem::permissions(servers, std::filesystem::perms(0755));
    const std::string ports = "IMAP_PORT=" + std::to_string(kImaps - 1) + " IMAPS_PORT=" + std::to_string(kImaps) +
                              " SMTP_PORT=" + std::to_string(kImaps + 1) + " SMTPS_PORT=" + std::to_string(kImaps + 2);
    if (!Shell(ports + " " + kScripts + "/start.sh " + servers.string() + " >/dev/null")) return false;
    // The messages, as maildir files owned by the servers' user; Dovecot numbers them at its scan.
    const std::filesystem::path box = servers / "mail" / "bob_02" / "Maildir";
    struct stat owner {};
    if (::stat((servers / "mail").c_str(), &owner) != 0) return false;
    for (const char* sub : {"", "/new", "/cur", "/tmp"}) {
        std::filesystem::create_directories(box.string() + sub);
        if (::chown((box.string() + sub).c_str(), owner.st_uid, owner.st_gid) != 0) return false;
    }
    for (int i = 0; i < kMessages; ++i) {
        const std::string file = (box / "new" / ("170000" + std::to_string(10000 + i) + ".bench")).string();
        std::ofstream(file) << "From: ann_01@example.test\nTo: bob_02@example.test\nSubject: bench " << i
                            << "\nDate: Thu, 05 Dec 2024 12:00:00 +0000\nMessage-ID: <bench-" << i
                            << "@example.test>\n\nsmall body line " << i << "\n" << std::string(300, 'x') << "\n";
        if (::chown(file.c_str(), owner.st_uid, owner.st_gid) != 0) return false;
    }
    return true;
}

void StopServers() { Shell(kScripts + "/stop.sh " + servers.string() + " >/dev/null 2>&1"); }

EDict Ask(uint16_t code, uint32_t manager) {
    EDict r;
    EDictClear(&r);
    EDictSetType(&r, code);
    EDictPutHandle(&r, harbor::AtomOf("Manager"), manager);
    return r;
}

uint32_t Handle(const EDict& r, const char* key) { return static_cast<uint32_t>(EDictGetLong(&r, harbor::AtomOf(key))); }

// Signs in and takes every message; each is written to `store` first when it is given.
int FetchAll(const std::filesystem::path& root, const std::filesystem::path* store) {
    harbor::MailServiceOptions options;
    options.data_root = root;
    options.durable = false;
    harbor::MailService service(options);
    EDict r = Ask(code::kOpen, 0);
    EDictPutText(&r, harbor::AtomOf("Username"), "bob_02");
    EDictPutText(&r, harbor::AtomOf("Password"), "bobpass2");
    HxPortSend(harbor::AtomOf("MailPort"), &r);
    const uint32_t manager = Handle(r, "Manager");
    int count = 0;
    for (;;) {
        EDict next = Ask(code::kFetchNext, manager);
        HxPortSend(harbor::AtomOf("MailPort"), &next);
        const uint32_t message = Handle(next, "Message");
        if (message == 0) break;
        if (store != nullptr) {
            const char* data = service.Objects().Text(message, harbor::MailProperty::Data);
            std::ofstream(*store / std::to_string(count)) << (data != nullptr ? data : "");
        }
        EDict free = Ask(code::kDelete, 0);
        EDictPutHandle(&free, harbor::AtomOf("Message"), message);
        HxPortSend(harbor::AtomOf("MailPort"), &free);
        ++count;
    }
    return count;
}

void RunFetch(benchmark::State& state, bool store) {
    for (auto _ : state) {
        state.PauseTiming();
        HxReset();
        const std::filesystem::path root = scratch.Fresh("root");
        std::filesystem::path stored = scratch.Fresh("stored");
        harbor::ServerSettings s{"imaps://127.0.0.1:" + std::to_string(kImaps), "smtp://127.0.0.1:1", "example.test",
                                 (servers / "tls" / "cert.pem").string(), false, false};
        std::string error;
        harbor::SaveServerSettings(root, s, error);
        state.ResumeTiming();
        const int count = FetchAll(root, store ? &stored : nullptr);
        if (count != kMessages) {
            state.SkipWithError(("fetched " + std::to_string(count)).c_str());
            break;
        }
    }
    state.counters["messages"] = kMessages;
}

void BM_RemoteFetch(benchmark::State& state) { RunFetch(state, false); }
void BM_RemoteFetchStored(benchmark::State& state) { RunFetch(state, true); }

void BM_RemoteFetch_Baseline(benchmark::State& state) {
    const std::filesystem::path work = scratch.Fresh("mbsync");
    // No fsync per message, as the service's runs here (not durable): on this busy disk mbsync's
    // default fsyncs take 17 to 22 s of a 0.2 to 0.5 s pull, and the network part is what is compared.
    std::ofstream(work / "mbsyncrc") << "FSync no\n\nIMAPAccount bench\nHost 127.0.0.1\nPort " << kImaps
                                     << "\nUser bob_02\nPass bobpass2\nSSLType IMAPS\nCertificateFile "
                                     << (servers / "tls" / "cert.pem").string()
                                     << "\nAuthMechs LOGIN\nPipelineDepth 50\n\nIMAPStore remote\nAccount bench\n\n"
                                        "MaildirStore local\nPath " << (work / "local").string() << "/\nInbox "
                                     << (work / "local" / "INBOX").string()
                                     << "\n\nChannel bench\nFar :remote:\nNear :local:\nPatterns INBOX\nCreate Near\n"
                                        "Sync Pull\nSyncState *\n";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(work / "local");
        std::filesystem::create_directories(work / "local");
        state.ResumeTiming();
        if (!Shell("mbsync -q -c " + (work / "mbsyncrc").string() + " bench")) {
            state.SkipWithError("mbsync failed");
            break;
        }
    }
    state.counters["messages"] = kMessages;
}

BENCHMARK(BM_RemoteFetch_Baseline)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoteFetch)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoteFetchStored)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    harbor::TraceLog::Instance().SetProblemSink([](std::string_view line) { std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data()); });
    if (!StartServers()) {
        std::fprintf(stderr, "remote_fetch_bench: the mail servers did not start\n");
        StopServers();
        return 1;
    }
    // Dovecot numbers and indexes the new maildir files at the first look: not part of any figure.
    harbor::ServerSettings warm{"imaps://127.0.0.1:" + std::to_string(kImaps), "smtp://127.0.0.1:1", "example.test",
                                (servers / "tls" / "cert.pem").string(), false, false};
    harbor::ImapCommand(warm, {"bob_02", "bobpass2"}, "INBOX", "UID FETCH 1:* (RFC822.SIZE)");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopServers();
    return 0;
}
