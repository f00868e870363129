#include "print/print_service.h"

#include <array>
#include <cassert>
#include <utility>

#include "hxmsg.h"
#include "base/atoms.h"
#include "base/trace_log.h"
#include "message_codes.h"
#include "scene/scene_ports.h"
#include "services/regional_service.h"

namespace harbor {

namespace {

constexpr const char* kPort = "Print";

// Port handlers see only the record: each bound scene port gets a handler of its own slot.
template <std::size_t Slot>
bool HXCALL SceneHandler(EDict* record) {
    return PrintService::OnScene(Slot, record);
}

template <std::size_t... Slots>
constexpr std::array<HxHandler, sizeof...(Slots)> MakeHandlers(std::index_sequence<Slots...>) {
    return {&SceneHandler<Slots>...};
}

constexpr std::array<HxHandler, kMaxScenePorts> kHandlers = MakeHandlers(std::make_index_sequence<kMaxScenePorts>());

}  // namespace

PrintService* PrintService::live_ = nullptr;

PrintService::PrintService(SceneService& scenes, std::filesystem::path content_dir,
                           ScenePainter::PictureProvider pictures, PrintOptions options)
    : scenes_(scenes),
      content_dir_(std::move(content_dir)),
      pictures_(std::move(pictures)),
      options_(std::move(options)),
      paper_(options_.paper ? *options_.paper : PaperFromLocale()) {
    assert(live_ == nullptr && "one print service at a time");
    live_ = this;
    Bind();
    for (const std::string& name : options_.vector_scenes) {
        const SceneDef* def = scenes_.Library().Find(AtomOf(name));
        if (def == nullptr || def->event_port == 0) continue;
        vector_scenes_.push_back(def->atom);
        vector_ports_.push_back(def->event_port);
        HxPortAttach(def->event_port, &PrintService::OnDrawRequest);
    }
}

PrintService::~PrintService() {
    DropJob();
    Unbind();
    for (uint16_t port : vector_ports_) HxPortDetach(port, &PrintService::OnDrawRequest);
    live_ = nullptr;
}

void PrintService::Bind() {
    for (const auto& def : scenes_.Library().Scenes()) {
        if (bound_.size() == kMaxScenePorts) break;
        bound_.push_back(def->atom);
    }
    for (std::size_t slot = 0; slot < bound_.size(); ++slot) HxPortAttach(bound_[slot], kHandlers[slot]);
}

void PrintService::Unbind() {
    for (std::size_t slot = 0; slot < bound_.size(); ++slot) HxPortDetach(bound_[slot], kHandlers[slot]);
    bound_.clear();
}

bool PrintService::OnScene(std::size_t slot, EDict* record) {
    if (live_ == nullptr || record == nullptr || slot >= live_->bound_.size()) return false;
    if (EDictGetType(record) != code::kPrint) return false;
    live_->PrintScene(live_->bound_[slot]);
    return true;
}

bool PrintService::OnEventPort(EDict* record) {
    if (live_ == nullptr || record == nullptr || EDictGetType(record) != code::kLeft) return false;
    live_->FinishJob();
    return false;
}

void PrintService::PrintScene(uint16_t scene) {
    const SceneState* state = scenes_.Scene(scene);
    if (state == nullptr) return;
    const uint16_t event_port = state->Def().event_port;
    std::string error;
    bool shown = false;
    for (uint16_t atom : scenes_.SceneStack()) shown = shown || atom == scene;
    if (!shown) {
        error = "the scene is not shown";
    } else if (job_.target && job_.scene != scene) {
        error = "another scene's job is open";
    } else if (!job_.target && !StartJob(*state, error)) {
        // error says why
    } else if (AddPage(*state, error)) {
        TraceNote(kPort, KnownName(scene) + ": page " + std::to_string(job_.pages) + " printed");
        Answer(event_port, 0);
        return;
    }
    TraceNote(kPort, KnownName(scene) + ": the page was not printed: " + error);
    // A job that lost a page is incomplete: drop it rather than finish it without the page.
    if (job_.target && job_.scene == scene) DropJob();
    Tell("Printing failed: " + error);
    Answer(event_port, 1);
}

bool PrintService::StartJob(const SceneState& scene, std::string& error) {
    if (!options_.targets) {
        error = "no print target";
        return false;
    }
    PrintJobInfo info;
    const std::optional<SpriteInfo> subject = scenes_.FindSprite(scene.Atom(), AtomOf(options_.subject_sprite));
    info.subject = subject ? subject->text : KnownName(scene.Atom());
    info.date = RegionalService::Now();
    info.local_time = HxIsRealClock();
    std::unique_ptr<PrintTarget> target = options_.targets(info, error);
    if (!target) return false;
    job_ = Job{scene.Atom(), scene.Def().event_port, std::move(target), 0};
    HxPortAttach(job_.event_port, &PrintService::OnEventPort);
    return true;
}

ScenePainter& PrintService::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<ScenePainter>(content_dir_);
        painter_->SetPictureProvider([this](uint16_t on_scene, uint16_t sprite) -> cairo_surface_t* {
            auto it = vector_pictures_.find(Key{on_scene, sprite});
            if (it != vector_pictures_.end()) return it->second.get();
            return pictures_ ? pictures_(on_scene, sprite) : nullptr;
        });
    }
    return *painter_;
}

bool PrintService::AddPage(const SceneState& scene, std::string& error) {
    ScenePainter& painter = Painter();
    KeepTeedPicture();
    const SceneDef& def = scene.Def();
    const PagePlacement placed = FitOnPage(paper_, def.width, def.height, options_.margin);
    const bool added = job_.target->AddPage(
        paper_,
        [&](cairo_t* cr) {
            cairo_translate(cr, placed.x, placed.y);
            cairo_scale(cr, placed.scale, placed.scale);
            painter.PaintSceneAlone(cr, scene, HxNow());
        },
        error);
    if (added) ++job_.pages;
    return added;
}

bool PrintService::OnDrawRequest(EDict* record) {
    if (live_ != nullptr && record != nullptr && EDictGetType(record) == code::kDraw) live_->TeeDrawing(*record);
    return false;
}

// A draw request for a rich text sprite of a vector scene, on its way to the module: the module
// gets a canvas that draws on the sprite's canvas and on a vector copy at once.
void PrintService::TeeDrawing(EDict& record) {
    static const uint16_t name_key = AtomOf("NAME");
    static const uint16_t canvas_key = AtomOf("Bitmap");
    KeepTeedPicture();
    auto* shown = static_cast<CanvasInterface*>(EDictGetPointer(&record, canvas_key));
    const uint16_t sprite = EDictGetShort(&record, name_key);
    if (shown == nullptr) return;
    for (uint16_t scene : vector_scenes_) {
        const std::optional<SpriteInfo> info = scenes_.FindSprite(scene, sprite);
        if (!info || info->kind != SpriteKind::RichText) continue;
        tee_ = std::make_unique<TeeCanvas>(*shown, Painter().Text());
        tee_key_ = Key{scene, sprite};
        EDictPutPointer(&record, canvas_key, static_cast<CanvasInterface*>(tee_.get()));
        return;
    }
}

// The last tee becomes the sprite's vector picture when the module drew on it; a request it
// left alone keeps the picture before.
void PrintService::KeepTeedPicture() {
    if (tee_ && tee_->Drew()) vector_pictures_[tee_key_] = tee_->Copy();
    tee_.reset();
}

void PrintService::ForgetPictures(uint16_t scene) {
    KeepTeedPicture();
    std::erase_if(vector_pictures_, [scene](const auto& entry) { return entry.first.first == scene; });
}

void PrintService::FinishJob() {
    if (!job_.target) return;
    HxPortDetach(job_.event_port, &PrintService::OnEventPort);
    Job job = std::move(job_);
    job_ = Job{};
    ForgetPictures(job.scene);
    std::string where;
    std::string error;
    if (job.target->Finish(where, error)) {
        last_outcome_ = "printed " + std::to_string(job.pages) + (job.pages == 1 ? " page" : " pages") + " to " + where;
        TraceNote(kPort, last_outcome_);
        Tell(last_outcome_);
        return;
    }
    last_outcome_ = "printing failed: " + error + (where.empty() ? std::string() : " (" + where + ")");
    TraceNote(kPort, last_outcome_);
    Tell(last_outcome_);
    Answer(job.event_port, 1);
}

void PrintService::DropJob() {
    if (!job_.target) return;
    HxPortDetach(job_.event_port, &PrintService::OnEventPort);
    ForgetPictures(job_.scene);
    job_ = Job{};
}

void PrintService::Answer(uint16_t event_port, int32_t status) const {
    if (event_port == 0) return;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kPageDone);
    EDictPutLong(&record, AtomOf("STATUS"), status);
    HxPortPost(event_port, &record, 0);
}

void PrintService::Tell(const std::string& what) const {
    if (options_.notice) options_.notice(what);
}

}  // namespace harbor
