// Opening a stored letter on the read screen, in a whole Harbor session with the module and the
// content's scenes: Read clicked on the mailbox with the letter's row selected, the read screen
// entered (fields filled, the sender looked up in the address book, the body loaded) and its
// first picture painted.
//   BM_OpenLetter           a letter of 100 KB: text with a stamp every kilobyte or so
//   BM_OpenLetter_Baseline  a letter of one short line, opened the same way
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "driver/driver.h"
#include "fileio/dict_file_format.h"
#include "hxmsg.h"
#include "mail/password_hash.h"
#include "mail/post_office.h"
#include "runtime/session.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBigLetter = 100 * 1024;
// The first row of the mailbox list, and the list's Read button.
constexpr int32_t kRowX = 250;
constexpr int32_t kRowY = 188;

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_read_bench_");
    return scratch;
}

std::string LetterText(std::size_t bodyBytes) {
    std::string body;
    while (body.size() < bodyBytes) {
        body += "We flew the red kite over the hill today and it went very high. ";
        if (body.size() % 1024 < 66) body += "<ID=\"SptCoStampCat\" NAME=\"cat\" W=0 H=0>\r\n";
    }
    return "From: Bob <bob_02>\r\nTo: bench\r\nSubject: Kites\r\nDate: 02 Jan 2026 10:00:00 +0000\r\n"
           "MIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=\"part\"\r\n\r\n"
           "--part\r\nContent-Type: text/wrenmail\r\n\r\n" +
           body + "\r\n--part--\r\n";
}

void WriteDict(const fs::path& file, const std::vector<harbor::DictFileEntry>& entries) {
    std::string bytes;
    harbor::EncodeDictFile(entries, bytes);
    std::ofstream(file, std::ios::binary) << bytes;
}

// A kite user's mailbox holding one letter, signed in, the letter's row selected.
class ReadSession {
public:
    explicit ReadSession(std::size_t bodyBytes) : session_(Options(bodyBytes)) {
        std::string error;
        if (!session_.LoadModule(error)) return;
        session_.Start();
        driver_ = std::make_unique<harbor::Driver>(session_);
        ok_ = driver_->Click("BtnCsEnter").empty();
        driver_->Wait(100);
        ok_ = ok_ && Select();
    }
    bool Ok() const { return ok_; }
    // Read, then one frame: the pictures asked for and painted, the body's first among them.
    bool Open() {
        if (!driver_->Click("BtnWnRead").empty() || !driver_->Scene("ScRdRead").ok) return false;
        session_.Canvases().Refresh();
        session_.Settle();
        return true;
    }
    bool Back() { return driver_->Click("BtnRdBack").empty() && Select(); }

private:
    // The list takes clicks on its rows once it has been painted and knows their height.
    bool Select() { return driver_->Wait(20).empty() && driver_->ClickAt(kRowX, kRowY, 1).empty(); }

    static harbor::SessionOptions Options(std::size_t bodyBytes) {
        harbor::SessionOptions options;
        options.module_path = WRENMAIL_MODULE_PATH;
        options.content_dir = HARBOR_CONTENT_DIR;
        options.data_dir = Space().Fresh("session");
        harbor::PostOffice office({options.data_dir, std::string(harbor::kDefaultMailDomain),
                                   harbor::PasswordCost::Fast(), false});
        office.Accounts().Add("bench", "kites");
        const fs::path inbox = options.data_dir / "MailBoxes" / "kiteAccounts" / "bench" / "InBox";
        fs::create_directories(inbox);
        const std::string text = LetterText(bodyBytes);
        WriteDict(inbox / "WN1.wnl", {{"Message", harbor::StoredKind::Text, 0, text},
                                      {"MailID", harbor::StoredKind::Long, 1, {}}});
        WriteDict(inbox / "folder.dat", {{"LastID", harbor::StoredKind::Long, 1, {}}});
        options.identity = harbor::Identity{"p7", "bench", "kites"};
        options.mail.password_cost = harbor::PasswordCost::Fast();
        return options;
    }

    harbor::Session session_;
    std::unique_ptr<harbor::Driver> driver_;
    bool ok_ = false;
};

void OpenLetters(benchmark::State& state, std::size_t bodyBytes) {
    HxReset();
    ReadSession session(bodyBytes);
    if (!session.Ok()) {
        state.SkipWithError("no mailbox");
        return;
    }
    for (auto _ : state) {
        if (!session.Open()) {
            state.SkipWithError("the letter did not open");
            break;
        }
        state.PauseTiming();
        const bool back = session.Back();
        state.ResumeTiming();
        if (!back) {
            state.SkipWithError("no way back");
            break;
        }
    }
}

void BM_OpenLetter(benchmark::State& state) {
    OpenLetters(state, kBigLetter);
}
BENCHMARK(BM_OpenLetter)->Unit(benchmark::kMillisecond);

void BM_OpenLetter_Baseline(benchmark::State& state) {
    OpenLetters(state, 10);
}
BENCHMARK(BM_OpenLetter_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
