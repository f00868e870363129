#include "canvas/canvas_sprites.h"
#include "message_codes.h"

#include <algorithm>
#include <cassert>
#include <string>
#include <strings.h>
#include <utility>

#include "hxmsg.h"
#include "render/font_config.h"
#include "base/atoms.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

constexpr int32_t kTypeSprite = 3;
constexpr int32_t kTypeEffect = 4;
constexpr int32_t kTypeBitmap = 5;

// The keys, fetched once: atoms never change within a process.
struct Keys {
    uint16_t type = AtomOf("TYPE"), name = AtomOf("NAME"), status = AtomOf("STATUS"), fx = AtomOf("FX"),
             width = AtomOf("WIDTH"), height = AtomOf("HEIGHT"), bg_red = AtomOf("BG_RED"),
             bg_green = AtomOf("BG_GREEN"), bg_blue = AtomOf("BG_BLUE"), trans_red = AtomOf("TRANSRED"),
             trans_green = AtomOf("TRANSGREEN"), trans_blue = AtomOf("TRANSBLUE"), pivot = AtomOf("PIVOT"),
             bitmap = AtomOf("BITMAP"), transparency = AtomOf("TRANSPARENCY"), visible = AtomOf("VISIBLE"),
             interactive = AtomOf("INTERACTIVE"), kind = AtomOf("KIND"), button = AtomOf("BUTTON"),
             res_port = AtomOf("ResPort"),
             tick_port = AtomOf("TimerPortTick");
};

const Keys& K() {
    static const Keys keys;
    return keys;
}

uint8_t Channel(const EDict& record, uint16_t key, uint8_t otherwise) {
    if (!EDictHasKey(&record, key)) return otherwise;
    return static_cast<uint8_t>(std::clamp(EDictGetLong(&record, key), 0, 255));
}

bool IsDownLook(uint16_t fx) { return strcasecmp(KnownName(fx).c_str(), "down") == 0; }

}  // namespace

CanvasSprites* CanvasSprites::live_ = nullptr;

CanvasSprites::CanvasSprites(SceneService& scenes, std::filesystem::path content_dir)
    : scenes_(scenes),
      content_dir_(std::move(content_dir)),
      rich_texts_(scenes_, [this]() -> const TextSystem& { return Text(); }) {
    assert(live_ == nullptr && "one canvas sprite service at a time");
    live_ = this;
    HxPortAttach(K().res_port, &CanvasSprites::OnResPort);
    HxPortAttach(K().tick_port, &CanvasSprites::OnTick);
    scenes_.SetSpriteResolver([this](uint16_t name) { return Definition(name); });
}

CanvasSprites::~CanvasSprites() {
    scenes_.SetSpriteResolver(nullptr);
    HxPortDetach(K().res_port, &CanvasSprites::OnResPort);
    HxPortDetach(K().tick_port, &CanvasSprites::OnTick);
    live_ = nullptr;
}

const TextSystem& CanvasSprites::Text() {
    if (!text_) {
        std::string error;
        if (!SetUpFonts(content_dir_, error)) ProblemNote("canvas", "fonts: " + error);
        text_ = std::make_unique<TextSystem>(HarborFontConfig());
    }
    return *text_;
}

bool CanvasSprites::Knows(uint16_t atom) const {
    return sprites_.contains(atom) || effects_.contains(atom) || bitmaps_.contains(atom);
}

CairoCanvas* CanvasSprites::Canvas(uint16_t bitmap) const {
    auto it = bitmaps_.find(bitmap);
    return it == bitmaps_.end() ? nullptr : it->second.canvas.get();
}

// --- ResPort ------------------------------------------------------------------------------------

bool CanvasSprites::OnResPort(EDict* record) {
    if (live_ == nullptr || record == nullptr) return false;
    switch (EDictGetType(record)) {
        case code::kCreate: return live_->Create(*record);
        case code::kSet: return live_->Set(*record);
        case code::kDelete: return live_->Delete(EDictGetShort(record, K().name));
        default: return false;
    }
}

bool CanvasSprites::Create(EDict& record) {
    uint16_t made = 0;
    switch (EDictGetLong(&record, K().type)) {
        case kTypeSprite: made = MakeSprite(EDictGetShort(&record, K().name)); break;
        case kTypeEffect: made = MakeEffect(EDictGetShort(&record, K().name), EDictGetShort(&record, K().fx)); break;
        case kTypeBitmap:
            made = MakeBitmap(EDictGetLong(&record, K().width), EDictGetLong(&record, K().height));
            break;
        default: return false;  // other resources are not canvas parts
    }
    EDictPutBool(&record, K().status, made != 0);
    if (made != 0) EDictPutShort(&record, K().name, made);
    return true;
}

uint16_t CanvasSprites::MakeSprite(uint16_t name) {
    if (name == 0) return 0;
    Delete(name);  // made again: its old looks go with it
    sprites_[name] = Sprite{};
    return name;
}

uint16_t CanvasSprites::MakeEffect(uint16_t sprite, uint16_t fx) {
    auto owner = sprites_.find(sprite);
    if (owner == sprites_.end() || fx == 0) return 0;
    if (const uint16_t existing = EffectOf(sprite, fx)) return existing;
    const uint16_t atom = AtomOf(KnownName(sprite) + " look " + KnownName(fx));
    if (atom == 0) return 0;
    effects_[atom] = Effect{sprite, fx, 0, 0};
    owner->second.effects.push_back(atom);
    return atom;
}

// Bitmap names are reused once deleted, so the atom table does not grow with every control made.
uint16_t CanvasSprites::MakeBitmap(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kLargestCanvasSide || height > kLargestCanvasSide) return 0;
    uint16_t atom = 0;
    for (int n = 1; atom == 0 || bitmaps_.contains(atom); ++n) {
        atom = AtomOf("Canvas bitmap " + std::to_string(n));
        if (atom == 0) return 0;  // the atom table is full: no free name is left to give
    }
    bitmaps_[atom].canvas = std::make_unique<CairoCanvas>(Text(), width, height);
    return atom;
}

bool CanvasSprites::Set(EDict& record) {
    const uint16_t name = EDictGetShort(&record, K().name);
    bool found = false;
    switch (EDictGetLong(&record, K().type)) {
        case kTypeBitmap:
            if (auto it = bitmaps_.find(name); (found = it != bitmaps_.end())) SetBitmap(it->second, record);
            break;
        case kTypeEffect:
            if (auto it = effects_.find(EffectOf(name, EDictGetShort(&record, K().fx))); (found = it != effects_.end())) {
                SetEffect(it->second, record);
            }
            break;
        case kTypeSprite:
            if (auto it = sprites_.find(name); (found = it != sprites_.end())) SetSprite(it->second, record);
            break;
        default: return false;
    }
    if (!found) TraceNote("ResPort", "30052: no canvas part named " + KnownName(name));
    EDictPutBool(&record, K().status, found);
    return found;
}

void CanvasSprites::SetBitmap(Bitmap& bitmap, const EDict& record) const {
    const Keys& k = K();
    if (EDictHasKey(&record, k.bg_red) || EDictHasKey(&record, k.bg_green) || EDictHasKey(&record, k.bg_blue)) {
        bitmap.canvas->Clear(Channel(record, k.bg_red, 0), Channel(record, k.bg_green, 0), Channel(record, k.bg_blue, 0));
    }
    const Rgb was = bitmap.transparent;
    bitmap.transparent = Rgb{Channel(record, k.trans_red, was.red), Channel(record, k.trans_green, was.green),
                             Channel(record, k.trans_blue, was.blue)};
}

void CanvasSprites::SetEffect(Effect& effect, const EDict& record) const {
    if (EDictHasKey(&record, K().pivot)) effect.pivot = EDictGetShort(&record, K().pivot);
    if (EDictHasKey(&record, K().bitmap)) effect.bitmap = EDictGetShort(&record, K().bitmap);
}

// TRANSPARENCY is kept but has no effect: every canvas sprite is opaque but for its key colour.
void CanvasSprites::SetSprite(Sprite& sprite, const EDict& record) const {
    const Keys& k = K();
    if (EDictHasKey(&record, k.transparency)) sprite.transparency = EDictGetLong(&record, k.transparency);
    if (EDictHasKey(&record, k.visible)) sprite.visible = EDictGetBool(&record, k.visible);
    if (EDictHasKey(&record, k.interactive)) sprite.interactive = EDictGetBool(&record, k.interactive);
    if (EDictHasKey(&record, k.kind)) sprite.button = EDictGetShort(&record, k.kind) == k.button;
}

bool CanvasSprites::Delete(uint16_t atom) {
    if (auto it = sprites_.find(atom); it != sprites_.end()) {
        for (uint16_t effect : it->second.effects) effects_.erase(effect);
        sprites_.erase(it);
        return true;
    }
    if (auto it = effects_.find(atom); it != effects_.end()) {
        if (auto owner = sprites_.find(it->second.sprite); owner != sprites_.end()) std::erase(owner->second.effects, atom);
        effects_.erase(it);
        return true;
    }
    return bitmaps_.erase(atom) > 0;
}

uint16_t CanvasSprites::EffectOf(uint16_t sprite, uint16_t fx) const {
    auto it = sprites_.find(sprite);
    if (it == sprites_.end()) return 0;
    for (uint16_t effect : it->second.effects) {
        if (effects_.at(effect).fx == fx) return effect;
    }
    return 0;
}

// --- The scene's view ---------------------------------------------------------------------------

// The rect is the size of the sprite's first look that has a bitmap; the scene places it.
std::shared_ptr<const SpriteDef> CanvasSprites::Definition(uint16_t name) const {
    auto it = sprites_.find(name);
    if (it == sprites_.end()) return nullptr;
    auto def = std::make_shared<SpriteDef>();
    def->name = KnownName(name);
    def->atom = name;
    def->kind = def->instance_kind = it->second.button ? SpriteKind::Button : SpriteKind::Sprite;
    def->visible = it->second.visible;
    def->interactive = it->second.interactive;
    for (uint16_t effect : it->second.effects) {
        if (const CairoCanvas* canvas = Canvas(effects_.at(effect).bitmap)) {
            def->rect = Rect{0, 0, canvas->Width(), canvas->Height()};
            break;
        }
    }
    return def;
}

uint16_t CanvasSprites::ShownLook(uint16_t scene, uint16_t sprite) const {
    auto it = sprites_.find(sprite);
    if (it == sprites_.end()) return 0;
    const std::optional<Hit> pressed = scenes_.Pressed();
    const bool down = pressed && pressed->scene == scene && pressed->sprite == sprite;
    uint16_t up = 0;
    for (uint16_t effect : it->second.effects) {
        const bool is_down = IsDownLook(effects_.at(effect).fx);
        if (down && is_down) return effect;
        if (!is_down && up == 0) up = effect;
    }
    return up;
}

cairo_surface_t* CanvasSprites::Picture(uint16_t scene, uint16_t sprite) const {
    if (cairo_surface_t* rich = rich_texts_.Picture(scene, sprite)) return rich;
    auto effect = effects_.find(ShownLook(scene, sprite));
    if (effect == effects_.end()) return nullptr;
    auto bitmap = bitmaps_.find(effect->second.bitmap);
    return bitmap == bitmaps_.end() ? nullptr : bitmap->second.picture.get();
}

std::optional<std::string> CanvasSprites::DrawnText(uint16_t scene, uint16_t sprite) const {
    if (const ModulePicture* rich = rich_texts_.Find(scene, sprite)) return rich->text;
    auto effect = effects_.find(ShownLook(scene, sprite));
    if (effect == effects_.end()) return std::nullopt;
    auto bitmap = bitmaps_.find(effect->second.bitmap);
    if (bitmap == bitmaps_.end() || !bitmap->second.picture) return std::nullopt;
    return bitmap->second.text;
}

// --- Pictures -----------------------------------------------------------------------------------

bool CanvasSprites::OnTick(EDict* record) {
    if (live_ != nullptr && record != nullptr) live_->Refresh();
    return false;  // the tick is everyone's
}

void CanvasSprites::Refresh() {
    const std::vector<uint16_t> stack = scenes_.SceneStack();  // a draw handler may change it
    rich_texts_.KeepOnly(stack);
    for (uint16_t scene : stack) {
        bool changed = !sprites_.empty() && RefreshScene(scene);
        changed = rich_texts_.Refresh(scene) || changed;
        if (changed) scenes_.Touch(scene);
    }
}

bool CanvasSprites::RefreshScene(uint16_t scene) {
    std::vector<uint16_t> shown;
    if (const SceneState* state = scenes_.Scene(scene)) {
        for (const auto& s : state->Sprites()) {
            if (s->visible && sprites_.contains(s->name)) shown.push_back(s->name);
        }
    }
    bool changed = false;
    for (uint16_t sprite : shown) {
        auto it = sprites_.find(sprite);
        const std::vector<uint16_t> looks = it != sprites_.end() ? it->second.effects : std::vector<uint16_t>{};
        for (uint16_t effect : looks) changed = AskPicture(effect) || changed;
        it = sprites_.find(sprite);  // the handlers may have deleted it
        if (it == sprites_.end()) continue;
        const uint16_t look = ShownLook(scene, sprite);
        if (std::exchange(it->second.shown[scene], look) != look) changed = true;
    }
    return changed;
}

bool CanvasSprites::AskPicture(uint16_t effect_atom) {
    auto effect = effects_.find(effect_atom);
    if (effect == effects_.end() || effect->second.pivot == 0) return false;
    const Effect look = effect->second;
    CairoCanvas* canvas = Canvas(look.bitmap);
    if (canvas == nullptr || !RequestDrawing(look.pivot, look.sprite, *canvas)) return false;
    auto bitmap = bitmaps_.find(look.bitmap);  // the handler may have deleted it
    if (bitmap == bitmaps_.end()) return false;
    bitmap->second.Keep();
    return true;
}

}  // namespace harbor
