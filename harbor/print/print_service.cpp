#include "print/print_service.h"

#include <array>
#include <cassert>
#include <utility>

#include "canvas/module_picture.h"
#include "hxmsg.h"
#include "runtime/atoms.h"
#include "runtime/trace_log.h"
#include "scene/scene_codes.h"
#include "scene/scene_ports.h"
#include "services/regional_service.h"

namespace harbor {

namespace {

constexpr uint16_t kPrint = 30047;        // scene port: print the scene as a page
constexpr uint16_t kPagePrinted = 30063;  // event port: STATUS of the page
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
}

PrintService::~PrintService() {
    DropJob();
    Unbind();
    live_ = nullptr;
}

void PrintService::Bind() {
    for (const auto& def : scenes_.library().Scenes()) {
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
    if (EDictGetType(record) != kPrint) return false;
    live_->PrintScene(live_->bound_[slot]);
    return true;
}

bool PrintService::OnEventPort(EDict* record) {
    if (live_ == nullptr || record == nullptr || EDictGetType(record) != scene_code::kLeft) return false;
    live_->FinishJob();
    return false;
}

void PrintService::PrintScene(uint16_t scene) {
    const SceneState* state = scenes_.scene(scene);
    if (state == nullptr) return;
    const uint16_t event_port = state->Def().event_port;
    std::string error;
    bool shown = false;
    for (uint16_t atom : scenes_.sceneStack()) shown = shown || atom == scene;
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
    const std::optional<SpriteInfo> subject = scenes_.sprite(scene.Atom(), AtomOf(options_.subject_sprite));
    info.subject = subject ? subject->text : KnownName(scene.Atom());
    info.date = RegionalService::Now();
    info.local_time = HxIsRealClock();
    std::unique_ptr<PrintTarget> target = options_.targets(info, error);
    if (!target) return false;
    job_ = Job{scene.Atom(), scene.Def().event_port, std::move(target), 0};
    HxPortAttach(job_.event_port, &PrintService::OnEventPort);
    return true;
}

bool PrintService::AddPage(const SceneState& scene, std::string& error) {
    if (!painter_) {
        painter_ = std::make_unique<ScenePainter>(content_dir_);
        painter_->SetPictureProvider([this](uint16_t on_scene, uint16_t sprite) -> cairo_surface_t* {
            auto it = vector_pictures_.find(Key{on_scene, sprite});
            if (it != vector_pictures_.end()) return it->second.get();
            return pictures_ ? pictures_(on_scene, sprite) : nullptr;
        });
    }
    AskVectorPictures(scene);
    const SceneDef& def = scene.Def();
    const PagePlacement placed = FitOnPage(paper_, def.width, def.height, options_.margin);
    const bool added = job_.target->AddPage(
        paper_,
        [&](cairo_t* cr) {
            cairo_translate(cr, placed.x, placed.y);
            cairo_scale(cr, placed.scale, placed.scale);
            painter_->PaintSceneAlone(cr, scene, HxNow());
        },
        error);
    vector_pictures_.clear();
    if (added) ++job_.pages;
    return added;
}

// The module paints each visible rich text sprite once more, now, on a canvas that records
// vectors; a sprite it does not paint keeps the picture the window shows. The page is a new
// surface for the sprite, so it is reported ready first (30060), as a sprite the host has just
// made: that tells the module the sprite has no picture there yet.
void PrintService::AskVectorPictures(const SceneState& scene) {
    std::vector<std::pair<uint16_t, Rect>> wanted;
    for (const auto& sprite : scene.Sprites()) {
        if (sprite->visible && sprite->kind == SpriteKind::RichText && sprite->rect.width > 0 &&
            sprite->rect.height > 0) {
            wanted.emplace_back(sprite->name, sprite->rect);
        }
    }
    for (const auto& [sprite, rect] : wanted) {
        cairo_rectangle_t extents{0, 0, double(rect.width), double(rect.height)};
        CairoSurfacePtr drawing(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
        CairoCanvas canvas(painter_->Text(), CairoSurfacePtr(cairo_surface_reference(drawing.get())), rect.width,
                           rect.height);
        EDict ready;
        EDictClear(&ready);
        EDictSetType(&ready, scene_code::kSpriteReady);
        EDictPutShort(&ready, AtomOf("NAME"), sprite);
        HxPortSend(scene.Def().event_port, &ready);
        if (RequestDrawing(scene.Def().event_port, sprite, canvas)) {
            cairo_surface_flush(canvas.Surface());
            vector_pictures_[Key{scene.Atom(), sprite}] = std::move(drawing);
        }
    }
}

void PrintService::FinishJob() {
    if (!job_.target) return;
    HxPortDetach(job_.event_port, &PrintService::OnEventPort);
    Job job = std::move(job_);
    job_ = Job{};
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
    job_ = Job{};
}

void PrintService::Answer(uint16_t event_port, int32_t status) const {
    if (event_port == 0) return;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, kPagePrinted);
    EDictPutLong(&record, AtomOf("STATUS"), status);
    HxPortPost(event_port, &record, 0);
}

void PrintService::Tell(const std::string& what) const {
    if (options_.notice) options_.notice(what);
}

}  // namespace harbor
