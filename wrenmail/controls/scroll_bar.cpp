#include "controls/scroll_bar.h"

#include <algorithm>

#include "controls/control_atoms.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/delivery_scope.h"

namespace wm {
namespace {

struct Rect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

struct ScrollRegistry {
    int32_t live = 0;
    long name_counter = 0;
};

ScrollRegistry& Bars() {
    static ScrollRegistry registry;
    return registry;
}

// The bar minus its two arrows, each a square as wide as the bar is thick.
Rect Track(const ScrollBarGeometry& geometry) {
    const int32_t arrow = geometry.vertical ? geometry.width : geometry.height;
    const int32_t skip = geometry.arrows_apart ? arrow : 0;
    if (geometry.vertical) {
        return Rect{geometry.x, geometry.y + skip, geometry.width, geometry.height - 2 * arrow};
    }
    return Rect{geometry.x + skip, geometry.y, geometry.width - 2 * arrow, geometry.height};
}

void SendToScene(uint16_t scene_port, uint16_t type, uint16_t sprite) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutShort(&record, atoms::NAME, sprite);
    HxPortSend(scene_port, &record);
}

// A hidden, still copy of a scene's template sprite, used as an arrow.
void PlaceTemplateInstance(uint16_t scene_port, uint16_t templ, uint16_t name, int32_t x,
                           int32_t y, int32_t depth) {
    EDict instance;
    EDictClear(&instance);
    EDictSetType(&instance, code::kStart);
    EDictPutShort(&instance, atoms::SPRITENAME, templ);
    EDictPutShort(&instance, atoms::INAME, name);
    EDictPutLong(&instance, atoms::X, x);
    EDictPutLong(&instance, atoms::Y, y);
    EDictPutLong(&instance, atoms::Z, depth);
    EDictPutBool(&instance, atoms::layout::NOTIFY, false);
    EDictPutBool(&instance, atoms::VISIBLE, false);
    HxPortSend(scene_port, &instance);
    EDict still;
    EDictClear(&still);
    EDictSetType(&still, code::kSetEffect);
    EDictPutShort(&still, atoms::NAME, name);
    EDictPutShort(&still, atoms::FX, atoms::controls::Still);
    HxPortSend(scene_port, &still);
}

// The arrows step the bar one at a time: on a press, then while held at ticks past a delay.
constexpr int32_t kFirstRepeatDelay = 500;
constexpr int32_t kRepeatDelay = 100;

}  // namespace

PMScroll::PMScroll(const ScrollBarGeometry& geometry)
    : PMControlBase(NotNegative(Track(geometry).x), NotNegative(Track(geometry).y), NotNegative(Track(geometry).width),
                    NotNegative(Track(geometry).height), geometry.scene_port, geometry.event_port),
      arrow_size_(NotNegative(geometry.vertical ? geometry.width : geometry.height)),
      vertical_(geometry.vertical) {
    ScrollRegistry& registry = Bars();
    if (registry.live++ == 0) {
        HxPortAttach(atoms::controls::ScrollCanvasPort, &PM_ScrollDraw);
    }
    bar_sprite_ = CounterAtom("PM Scroll Bar Name Number %ld", registry.name_counter++);
    const Rect track = Track(geometry);
    canvas_ = MakeCanvasSprite(CanvasSpriteGeometry{bar_sprite_, scene_port_,
                                                atoms::controls::ScrollCanvasPort, track.x,
                                                track.y, track.width, track.height, geometry.depth,
                                                true, 0});
    MakeArrows(geometry);
    SetAllShown(false);
    SetRoutable(true);
}

void PMScroll::MakeArrows(const ScrollBarGeometry& geometry) {
    const Rect track = Track(geometry);
    const auto arrow = static_cast<int32_t>(arrow_size_);
    const int32_t after = (vertical_ ? track.y + track.height : track.x + track.width);
    const int32_t first = geometry.arrows_apart ? (vertical_ ? geometry.y : geometry.x) : after;
    const int32_t second = geometry.arrows_apart ? after : after + arrow;
    up_place_ = vertical_ ? ArrowPlace{geometry.x, first} : ArrowPlace{first, geometry.y};
    down_place_ = vertical_ ? ArrowPlace{geometry.x, second} : ArrowPlace{second, geometry.y};
    up_arrow_ = MakeArrow(geometry, true, up_place_);
    down_arrow_ = MakeArrow(geometry, false, down_place_);
}

uint16_t PMScroll::MakeArrow(const ScrollBarGeometry& geometry, bool first, ArrowPlace place) {
    const uint16_t templ = first ? geometry.up_template : geometry.down_template;
    if (templ == 0) {
        const ArrowKind kind = vertical_ ? (first ? ArrowKind::kUp : ArrowKind::kDown)
                                         : (first ? ArrowKind::kLeft : ArrowKind::kRight);
        auto button = std::make_unique<PMArrowButton>(kind, place.x, place.y,
                                                      static_cast<int32_t>(arrow_size_),
                                                      scene_port_, event_port_, geometry.depth - 1);
        const uint16_t sprite = button->Sprite();
        (first ? up_button_ : down_button_) = std::move(button);
        return sprite;
    }
    const uint16_t name = CounterAtom(
        first ? "PM Up Arrow Name Number %ld" : "PM Down Arrow Name Number %ld",
        Bars().name_counter);
    PlaceTemplateInstance(scene_port_, templ, name, place.x, place.y, geometry.depth);
    return name;
}

PMScroll::~PMScroll() {
    SetRoutable(false);
    SetAllShown(false);
    ScrollRegistry& registry = Bars();
    if (--registry.live == 0) {
        HxPortDetach(atoms::controls::ScrollCanvasPort, &PM_ScrollDraw);
        registry.name_counter = 0;
    }
    RemoveCanvasSprite(bar_sprite_, canvas_, scene_port_);
    if (up_button_ == nullptr) {
        SendToScene(scene_port_, code::kDelete, up_arrow_);
    }
    if (down_button_ == nullptr) {
        SendToScene(scene_port_, code::kDelete, down_arrow_);
    }
    up_button_.reset();
    down_button_.reset();
}

bool PMScroll::OwnsSprite(uint16_t atom) const {
    return atom != 0 && (atom == bar_sprite_ || atom == up_arrow_ || atom == down_arrow_);
}

void PMScroll::SetAllShown(bool shown) {
    ShowOrHideSprite(scene_port_, bar_sprite_, shown);
    ShowOrHideSprite(scene_port_, up_arrow_, shown);
    ShowOrHideSprite(scene_port_, down_arrow_, shown);
    shown_ = shown;
}

void PMScroll::Show() { SetAllShown(true); }
void PMScroll::Hide() { SetAllShown(false); }

int32_t PMScroll::TrackStart() const { return static_cast<int32_t>(vertical_ ? top_ : left_); }
int32_t PMScroll::TrackLength() const {
    return static_cast<int32_t>(vertical_ ? height_ : width_);
}

uint32_t PMScroll::Page() const { return page_ratio_ == 0 ? 0 : 1000000u / page_ratio_; }

void PMScroll::MoveBy(int64_t delta) {
    const int64_t moved = std::clamp<int64_t>(position_ + delta, 0, kScrollEnd);
    position_ = static_cast<uint32_t>(moved);
}

Thumb PMScroll::GetThumb() const {
    const int64_t track = TrackLength();
    int64_t length = Inert() ? track : track * 100 / page_ratio_;
    length = std::max<int64_t>(length, 16);
    const int64_t start = TrackStart() + (track - length) * position_ / kScrollEnd;
    return Thumb{static_cast<int32_t>(start), static_cast<int32_t>(length)};
}

bool PMScroll::MouseDown(int32_t x, int32_t y, bool, bool) {
    if (Inert()) {
        return true;
    }
    const bool inside = x >= static_cast<int32_t>(left_) &&
                        x < static_cast<int32_t>(left_ + width_) &&
                        y >= static_cast<int32_t>(top_) && y < static_cast<int32_t>(top_ + height_);
    if (!inside) {
        dragging_ = false;
        return false;
    }
    touched_ = true;
    const Thumb thumb = GetThumb();
    const int32_t along = Along(x, y);
    if (along < thumb.start) {
        MoveBy(-static_cast<int64_t>(Page()));
    } else if (along >= thumb.start + thumb.length) {
        MoveBy(Page());
    } else {
        dragging_ = true;
        drag_offset_y_ = y - (vertical_ ? thumb.start : static_cast<int32_t>(top_));
        drag_offset_x_ = x - (vertical_ ? static_cast<int32_t>(left_) : thumb.start);
    }
    dirty_ = true;
    return true;
}

bool PMScroll::MouseMove(int32_t x, int32_t y) {
    if (Inert()) {
        return true;
    }
    if (!dragging_) {
        if (up_held_) {
            over_held_arrow_ = OverArrow(up_place_, x, y);
        } else if (down_held_) {
            over_held_arrow_ = OverArrow(down_place_, x, y);
        }
        return false;
    }
    const Thumb thumb = GetThumb();
    const int32_t track = TrackLength();
    const int32_t offset = vertical_ ? drag_offset_y_ : drag_offset_x_;
    const int64_t wanted = std::clamp<int64_t>(Along(x, y) - offset - TrackStart(), 0, track);
    const int64_t room = track - thumb.length;
    const int64_t position = room > 0 ? wanted * kScrollEnd / room : kScrollEnd;
    position_ = static_cast<uint32_t>(std::clamp<int64_t>(position, 0, kScrollEnd));
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kSet);
    EDictPutShort(&record, atoms::NAME, bar_sprite_);
    EDictPutBool(&record, atoms::FORCEDUPDATE, true);
    HxPortSend(scene_port_, &record);
    dirty_ = true;
    return true;
}

bool PMScroll::MouseUp(int32_t x, int32_t y, bool, bool) {
    if (Inert()) {
        return true;
    }
    if (!dragging_) {
        return false;
    }
    MouseMove(x, y);
    dragging_ = false;
    return true;
}

bool PMScroll::OverArrow(ArrowPlace place, int32_t x, int32_t y) const {
    const auto size = static_cast<int32_t>(arrow_size_);
    return x >= place.x && x < place.x + size && y >= place.y && y < place.y + size;
}

bool PMScroll::Key(int32_t key, bool, bool) {
    if (Inert()) {
        return true;
    }
    touched_ = true;
    switch (key) {
    case 37:
    case 38:
        StepUp();
        break;
    case 39:
    case 40:
        StepDown();
        break;
    case 36:
        position_ = 0;
        dirty_ = true;
        break;
    case 35:
        position_ = kScrollEnd;
        dirty_ = true;
        break;
    case 33:
        MoveBy(-static_cast<int64_t>(Page()));
        dirty_ = true;
        break;
    case 34:
        MoveBy(Page());
        dirty_ = true;
        break;
    default:
        break;
    }
    return dirty_;
}

void PMScroll::Message(EDict* record) {
    const uint16_t type = EDictGetType(record);
    const uint32_t time = EDictGetTime(record);
    if (type == code::kPress) {
        const uint16_t sprite = EDictGetShort(record, atoms::NAME);
        if (sprite != 0 && sprite == up_arrow_) {
            UpArrowPressed(time);
        } else if (sprite != 0 && sprite == down_arrow_) {
            DownArrowPressed(time);
        }
    } else if (type == code::kClick || type == code::kReleased) {
        UpArrowReleased();
        DownArrowReleased();
    }
    Tick(time);
}

uint32_t PMScroll::GetPosition() const { return position_; }
bool PMScroll::IsUpArrowActive() const { return shown_ && up_held_; }
bool PMScroll::GetTouched() const { return touched_; }
bool PMScroll::GetVertical() const { return vertical_; }

void PMScroll::StepUp() {
    if (Inert()) {
        return;
    }
    MoveBy(-static_cast<int64_t>(static_cast<uint64_t>(step_) * 1000000u /
                                 (page_ratio_ - 100) / 100));
    MarkChanged();
}

void PMScroll::StepDown() {
    if (Inert()) {
        return;
    }
    MoveBy(static_cast<int64_t>(static_cast<uint64_t>(step_) * 1000000u / (page_ratio_ - 100) /
                                100));
    MarkChanged();
}

void PMScroll::SetPosition(uint32_t position) {
    position_ = position;
    dirty_ = true;
}

void PMScroll::SetPageRatio(uint32_t ratio) {
    page_ratio_ = ratio;
    dirty_ = true;
    SetAllShown(ratio >= 100);
}

void PMScroll::SetStep(uint32_t step) { step_ = step; }

void PMScroll::UpArrowPressed(uint32_t time) {
    up_held_ = true;
    over_held_arrow_ = true;
    first_repeat_ = true;
    StepUp();
    last_repeat_time_ = time;
}

void PMScroll::UpArrowReleased() { up_held_ = false; }

void PMScroll::DownArrowPressed(uint32_t time) {
    down_held_ = true;
    over_held_arrow_ = true;
    first_repeat_ = true;
    StepDown();
    last_repeat_time_ = time;
}

void PMScroll::DownArrowReleased() { down_held_ = false; }

void PMScroll::Tick(uint32_t time) {
    // Signed: a record stamped before the last repeat (or not stamped at all) is not late.
    const auto elapsed = static_cast<int32_t>(time - last_repeat_time_);
    if (elapsed < (first_repeat_ ? kFirstRepeatDelay : kRepeatDelay)) {
        return;
    }
    if (up_held_ && over_held_arrow_) {
        StepUp();
    } else if (down_held_ && over_held_arrow_) {
        StepDown();
    }
    last_repeat_time_ = time;
    first_repeat_ = false;
}

void PMScroll::DrawThumb(CanvasInterface& canvas) {
    const Thumb thumb = GetThumb();
    const auto start = static_cast<float>(thumb.start - TrackStart());
    const auto end = start + static_cast<float>(thumb.length - 1);
    const auto thickness = static_cast<float>(vertical_ ? width_ : height_);
    const float near = 1.0f;
    const float far = thickness - 2.0f;
    // (x1, y1) to (x2, y2) across the bar from `near` to `far` and along it from start to end.
    const float left = vertical_ ? near : start;
    const float top = vertical_ ? start : near;
    const float right = vertical_ ? far : end;
    const float bottom = vertical_ ? end : far;
    SetColour(canvas, dark_);
    DrawRectangle(canvas, left, top, right, bottom, 1.0f, true);
    SetColour(canvas, highlight_);
    DrawLine(canvas, left, top, right, top);
    DrawLine(canvas, left, top, left, bottom);
    SetColour(canvas, shadow_);
    DrawLine(canvas, left, bottom, right, bottom);
    DrawLine(canvas, right, top, right, bottom);
}

bool PMScroll::Draw(CanvasInterface& canvas) {
    if (!dirty_) {
        return false;
    }
    FillCanvas(canvas, kTransparentGreen);
    SetColour(canvas, face_);
    DrawRectangle(canvas, 0.0f, 1.0f, static_cast<float>(width_), static_cast<float>(height_),
                  1.0f, true);
    DrawThumb(canvas);
    PostChange();
    dirty_ = false;
    return true;
}

void PMScroll::PostChange() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, atoms::actions::aPMScrollChange);
    EDictPutLong(&record, atoms::controls::CONTROLPOS, static_cast<int32_t>(position_));
    EDictPutPointer(&record, atoms::controls::POINTER, this);
    HxPortPost(event_port_, &record, 0);
}

DrawAnswer& PMScroll::DrawAnswers() {
    static DrawAnswer answers;
    return answers;
}

bool HXCALL PMScroll::PM_ScrollDraw(EDict* record) {
    DeliveryScope scope;
    if (record == nullptr) {
        return false;
    }
    DrawAnswers().CountRequest();
    const DrawRequest request = ReadDrawRequest(record);
    auto* bar = dynamic_cast<PMScroll*>(FindBySprite(request.sprite));
    if (request.canvas == nullptr || bar == nullptr || !bar->Draw(*request.canvas)) {
        return false;
    }
    DrawAnswers().Answer(record, bar->GetWidth(), bar->GetHeight());
    return true;
}

}  // namespace wm
