// The write screen and its stamp panel:
//   BM_SaveLetter           Done on a letter of 10 KB of text and 150 stamps: the checks, the body
//                           produced twice (plain and tagged), the message and its two parts built
//                           in Harbor's mail service and the file stored through its file service
//                           (in-process, not durable, on a temp root)
//   BM_SaveLetter_Baseline  the same stored file's bytes written to a new file with stdio
//   BM_OpenStampPanel       a click on Stamps that opens the panel and one that closes it, in a
//                           whole Harbor session with the module and the content's scenes
//   BM_OpenStampPanel_Baseline  two clicks on Help in the same session: the same click path with
//                           a button that only plays a sound
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "controls/rich_text_view.h"
#include "driver/driver.h"
#include "fileio/file_service.h"
#include "hxmsg.h"
#include "mail/mail_service.h"
#include "mail/password_hash.h"
#include "mail/post_office.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "runtime/session.h"
#include "screens/common_dialog.h"
#include "state/service_handles.h"
#include "state/user_identity.h"
#include "screens/write_screen.h"
#include "clients/file_requests.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStamps = 150;
constexpr std::size_t kTextBytes = 10 * 1024;

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_write_bench_");
    return scratch;
}

// The body: lines of words with a stamp after every few words, 150 stamps in all.
std::string LetterBody() {
    const char* stamps[] = {"SptCoStampCat", "SptCoStampHappy", "SptCoStampPizza", "SptCoStampSun"};
    std::string body;
    std::size_t text = 0;
    for (int stamp = 0; text < kTextBytes || stamp < kStamps;) {
        const std::string words = "We flew the red kite over the hill today and it went very high. ";
        if (text < kTextBytes) {
            body += words;
            text += words.size();
        }
        if (stamp < kStamps) {
            body += std::string("<ID=\"") + stamps[stamp % 4] + "\" NAME=\"stamp\" W=32 H=32> ";
            ++stamp;
        }
        if (text % 640 < words.size()) body += "\n";
    }
    return body;
}

// The scene answers the two fields' texts.
bool HXCALL Fields(EDict* record) {
    if (EDictGetType(record) == code::kEditText && EDictHasKey(record, atoms::GET)) {
        const bool to = EDictGetShort(record, atoms::NAME) == wm::FetchAtom("EdtWrTo");
        EDictPutText(record, atoms::TEXT, to ? "friend_01" : "Kites on Sunday");
    }
    return true;
}

// The mail service without flushes, on the root.
harbor::MailServiceOptions MailOptions(const fs::path& root) {
    harbor::MailServiceOptions options;
    options.data_root = root;
    options.password_cost = harbor::PasswordCost::Fast();
    options.durable = false;
    return options;
}

// The write screen of a kite user, with its letter written, on Harbor's file and mail services.
class WriteOnHarbor {
public:
    explicit WriteOnHarbor(const fs::path& root)
        : files_((HxReset(), root), harbor::FileServiceOptions{false}),
          mail_(MailOptions(root)) {
        files_.Attach();
        HxPortAttach(atoms::ports::ScWrWrite, &Fields);
        wm::Services().file_service = wm::FileOpenHandle();
        wm::Identity().SetKiteLogin("bench", "kites");
        screen_.InitNames();
        screen_.Enter();
        const std::string body = LetterBody();
        screen_.Editor()->LoadTaggedBodyText(body.c_str());
    }
    ~WriteOnHarbor() {
        screen_.Leave();
        wm::CloseFileService();
        wm::Identity().ClearIdentity();
        files_.Detach();
        HxReset();
    }
    WriteOnHarbor(const WriteOnHarbor&) = delete;
    WriteOnHarbor& operator=(const WriteOnHarbor&) = delete;

    void Done() { screen_.OnButton(wm::FetchAtom("BtnWrDone")); }
    void CloseNotice() { screen_.CloseDialog(atoms::dialog_sprites::BtnCoOk); }
    uint32_t Images() { return screen_.Editor()->Document().ImageCount(); }

private:
    harbor::FileService files_;
    harbor::MailService mail_;
    wm::WriteScreen screen_;
};

fs::path OutBox(const fs::path& root) {
    return root / "MailBoxes" / "kiteAccounts" / "bench" / "OutBox";
}

void BM_SaveLetter(benchmark::State& state) {
    const fs::path root = Space().Fresh("save");
    WriteOnHarbor writer(root);
    if (writer.Images() != kStamps) state.SkipWithError("the letter lacks its stamps");
    for (auto _ : state) {
        writer.Done();
        state.PauseTiming();
        writer.CloseNotice();
        state.ResumeTiming();
    }
    std::size_t letters = 0;
    for (const auto& entry : fs::directory_iterator(OutBox(root))) letters += entry.path().extension() == ".wnl";
    if (letters != static_cast<std::size_t>(state.iterations())) state.SkipWithError("a letter was not saved");
}
BENCHMARK(BM_SaveLetter)->Unit(benchmark::kMillisecond);

void BM_SaveLetter_Baseline(benchmark::State& state) {
    const fs::path root = Space().Fresh("raw");
    std::string bytes;
    const fs::path one = Space().Fresh("one");
    {
        WriteOnHarbor writer(one);
        writer.Done();
        writer.CloseNotice();
    }
    for (const auto& entry : fs::directory_iterator(OutBox(one))) {
        if (entry.path().extension() == ".wnl") {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
            break;
        }
    }
    if (bytes.empty()) state.SkipWithError("no stored letter to copy");
    int n = 0;
    for (auto _ : state) {
        const std::string name = (root / ("WN" + std::to_string(++n) + ".wnl")).string();
        std::FILE* out = std::fopen(name.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_SaveLetter_Baseline)->Unit(benchmark::kMillisecond);

// A kite user's write screen in a whole session, the letter box empty.
class WriteSession {
public:
    WriteSession() : session_(Options()) {
        std::string error;
        if (!session_.LoadModule(error)) return;
        session_.Start();
        driver_ = std::make_unique<harbor::Driver>(session_);
        ok_ = driver_->Click("BtnCsEnter").empty();
        driver_->Wait(100);
        ok_ = ok_ && driver_->Click("BtnWnNew").empty();
    }
    bool Ok() const { return ok_; }
    bool Click(const char* sprite) { return driver_->Click(sprite).empty(); }
    bool Shows(const char* sprite) const { return driver_->Visible(sprite, true).ok; }

private:
    static harbor::SessionOptions Options() {
        harbor::SessionOptions options;
        options.module_path = WRENMAIL_MODULE_PATH;
        options.content_dir = HARBOR_CONTENT_DIR;
        options.data_dir = Space().Fresh("session");
        harbor::PostOffice office({options.data_dir, std::string(harbor::kDefaultMailDomain),
                                   harbor::PasswordCost::Fast(), false});
        office.Accounts().Add("bench", "kites");
        options.identity = harbor::Identity{"p7", "bench", "kites"};
        options.mail.password_cost = harbor::PasswordCost::Fast();
        return options;
    }

    harbor::Session session_;
    std::unique_ptr<harbor::Driver> driver_;
    bool ok_ = false;
};

void ClickPairs(benchmark::State& state, const char* sprite) {
    HxReset();
    WriteSession session;
    if (!session.Ok()) state.SkipWithError("no write screen");
    // The Stamps click opens the panel and the next closes it.
    if (!session.Click(sprite) || session.Shows("AniWrPanel1") != (std::string(sprite) == "BtnWrStamps") ||
        !session.Click(sprite) || session.Shows("AniWrPanel1")) {
        state.SkipWithError("the panel does not open and close as it should");
    }
    for (auto _ : state) {
        if (!session.Click(sprite) || !session.Click(sprite)) state.SkipWithError("the click failed");
    }
}

void BM_OpenStampPanel(benchmark::State& state) {
    ClickPairs(state, "BtnWrStamps");
}
BENCHMARK(BM_OpenStampPanel)->Unit(benchmark::kMillisecond);

void BM_OpenStampPanel_Baseline(benchmark::State& state) {
    ClickPairs(state, "BtnWrHelp");
}
BENCHMARK(BM_OpenStampPanel_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
