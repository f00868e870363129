#include "runtime/session.h"

#include <algorithm>
#include <system_error>

#include "datadict/data_dict_parser.h"
#include "hxmsg.h"
#include "mail/mail_domain.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"
#include "services/web_address.h"

namespace harbor {

namespace {

// The clock is chosen before any service posts, so the first tick is due on the right clock.
SessionOptions WithClockChosen(SessionOptions options) {
    HxSetRealClock(!options.headless);
    return options;
}

MailServiceOptions MailOptionsOf(const SessionOptions& options) {
    MailServiceOptions mail = options.mail;
    if (mail.data_root.empty()) mail.data_root = options.data_dir;
    if (mail.domain.empty()) mail.domain = MailDomainFromSettings(options.content_dir);
    return mail;
}

}  // namespace

Session* Session::live_ = nullptr;

bool Session::OnAppPortUnknownName(EDict* record) {
    if (live_ == nullptr || record == nullptr || EDictGetType(record) != code::kStart) return false;
    const uint16_t name = EDictGetShort(record, AtomOf("NAME"));
    if (name == 0 || live_->scenes_.Library().Find(name) != nullptr || live_->dictionaries_.Find(name) != nullptr) {
        return false;
    }
    ProblemNote("AppPort", "the module asked for " + KnownName(name) + ", which is neither a scene nor a loaded resource");
    return false;
}

HarborPortService::AddressOpener Session::Opener(bool headless, const std::filesystem::path& content_dir) {
    if (headless) return nullptr;
    return [content_dir](const std::string& address) { OpenAddress(address, content_dir); };
}

Session::Session(SessionOptions options)
    : options_(WithClockChosen(std::move(options))),
      harbor_port_(application_, Opener(options_.headless, options_.content_dir)),
      mail_(MailOptionsOf(options_)),
      connection_(options_.dialup),
      resources_(options_.content_dir, dictionaries_),
      scenes_(options_.content_dir),
      canvases_(scenes_, options_.content_dir),
      files_(options_.data_dir) {
    if (!options_.data_dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options_.data_dir, ec);
        if (ec) ProblemNote("Harbor", "cannot create the data folder " + options_.data_dir.string() + ": " + ec.message());
    }
    scenes_.SetTraceSink([](const std::string& text) { TraceNote("scenes", text); });
    scene_problems_ = scenes_.Load();
    for (const std::string& problem : scene_problems_) ProblemNote("scenes", problem);
    scenes_.Attach();
    files_.Attach();
    // Data dictionaries are found first where the module's file handle stands (mail in "Import").
    resources_.SetFirstFolder([this] { return files_.LastUsedDirectory(); });
    // An import file read there is noted, so that a crash cannot import it twice.
    resources_.SetReadNote([this](const std::filesystem::path& file) { files_.NoteDataFileRead(file); });
    PublishSceneDictionaries();
    live_ = this;
    HxPortAttach(AtomOf("AppPort"), &Session::OnAppPortUnknownName);
}

Session::~Session() {
    HxPortDetach(AtomOf("AppPort"), &Session::OnAppPortUnknownName);
    live_ = nullptr;
    module_.Unload();
    scenes_.Detach();
}

// A scene's data dictionary sprite is published under the sprite's name for as long as the
// session lasts: the module binds it by name and its release leaves it in place.
void Session::PublishSceneDictionaries() {
    for (const auto& scene : scenes_.Library().Scenes()) {
        for (const auto& sprite : scene->sprites) {
            if (sprite->kind != SpriteKind::DataDict || dictionaries_.Find(sprite->atom) != nullptr) continue;
            DataDictResult parsed = ParseDataDict(sprite->data.dump(), scene->source + ": " + sprite->name);
            if (!parsed || !dictionaries_.Publish(sprite->atom, std::move(parsed.dict))) {
                ProblemNote("scenes", "data dictionary sprite " + sprite->name + " not published: " + parsed.error);
            }
        }
    }
}

bool Session::LoadModule(std::string& error) { return module_.Load(options_.module_path, error); }

bool Session::Start(const Identity& overrides) {
    if (!module_.Loaded() || module_.Running() || Ended()) return false;
    const Identity identity = options_.identity.OverriddenBy(overrides);
    plugin_data_.Reset(identity);
    module_.Start(identity);
    Settle();
    return true;
}

void Session::Stop() {
    application_.End(EndReason::Stopped);
    AfterDelivery();
}

void Session::Quit() {
    if (!module_.Running()) {
        application_.End(EndReason::Stopped);
        return;
    }
    application_.BeginQuit(HxNow());
    EDict request;
    EDictClear(&request);
    EDictSetType(&request, code::kHostQuery);
    HxPortSend(AtomOf("PM"), &request);
    Settle();
    if (auto deadline = application_.QuitDeadline(); deadline && !Ended()) {
        Advance(static_cast<uint32_t>(*deadline - std::min(*deadline, HxNow())));
    }
    application_.CheckDeadline(HxNow());
    AfterDelivery();
}

// Once the application has ended nothing is delivered any more: posts still pending may carry
// texts that point into the unloaded module.
void Session::Settle() {
    // Headless runs are deterministic: mail on its way to a server is sent before time moves on.
    if (options_.headless) mail_.FinishInFlight();
    if (!Ended()) HxRunUntilIdle();
    AfterDelivery();
}

void Session::Advance(uint32_t ms) {
    Settle();
    if (HxIsRealClock()) return;
    const uint64_t target = HxNow() + ms;
    while (!Ended() && HxNow() < target) {
        const uint64_t now = HxNow();
        uint64_t until = target;
        if (int64_t next = HxTimeToNextPost(); next >= 0) until = std::min(until, now + static_cast<uint64_t>(next));
        if (auto deadline = application_.QuitDeadline(); deadline && *deadline > now) until = std::min(until, *deadline);
        HxAdvanceTime(static_cast<uint32_t>(until - now));
        application_.CheckDeadline(HxNow());
        AfterDelivery();
    }
}

void Session::AfterDelivery() {
    if (!Ended() || !module_.Loaded()) return;
    TraceNote("HarborPort", "the application ends: " + Describe(application_.Reason()));
    module_.Unload();
}

}  // namespace harbor
