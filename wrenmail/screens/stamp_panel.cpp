#include "screens/stamp_panel.h"

#include "controls/control_atoms.h"
#include "controls/rich_text_view.h"
#include "messaging/data_dict_reader.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"

WM_DECLARE_ATOM(stamps, Category)
WM_DECLARE_ATOM(stamps, image)
WM_DECLARE_ATOM(stamps, text)
WM_DECLARE_ATOM(stamps, AniWrHilite)
WM_DECLARE_ATOM(stamps, AniWrBar)
WM_DECLARE_ATOM(stamps, BtnWrArrowUp)
WM_DECLARE_ATOM(stamps, BtnWrArrowDown)
WM_DECLARE_ATOM(stamps, TxtWrIconText)
WM_DEFINE_ATOM(stamps, Category)
WM_DEFINE_ATOM(stamps, image)
WM_DEFINE_ATOM(stamps, text)
WM_DEFINE_ATOM(stamps, AniWrHilite)
WM_DEFINE_ATOM(stamps, AniWrBar)
WM_DEFINE_ATOM(stamps, BtnWrArrowUp)
WM_DEFINE_ATOM(stamps, BtnWrArrowDown)
WM_DEFINE_ATOM(stamps, TxtWrIconText)

namespace wm {
namespace {

// Stamps wait for their instance before they move and show.
constexpr int32_t kStampDelay = 20;
// Captions sit under the stamp, centred on a row 80 wide.
constexpr int32_t kCaptionLeft = 40;
constexpr int32_t kCaptionBelow = 16;
constexpr int32_t kCaptionLayer = 10;

constexpr std::array<SlotPoint, kStampSlots> kSlotPoints{{
    {191, 57}, {300, 57}, {398, 57}, {501, 57},
    {191, 111}, {300, 111}, {398, 111}, {501, 111},
}};

// A hidden copy of a template sprite, standing still until it is shown.
void CreateInstance(uint16_t scene, uint16_t source, uint16_t instance, int32_t x, int32_t y, int32_t z) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, source);
    EDictPutShort(&record, atoms::INAME, instance);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    EDictPutLong(&record, atoms::Z, z);
    EDictPutBool(&record, atoms::layout::NOTIFY, false);
    EDictPutBool(&record, atoms::VISIBLE, false);
    Deliver(scene, &record, kSend);
    EDictClear(&record);
    EDictSetType(&record, code::kSetEffect);
    EDictPutShort(&record, atoms::NAME, instance);
    EDictPutShort(&record, atoms::FX, atoms::controls::Still);
    EDictPutBool(&record, atoms::layout::NOTIFY, false);
    Deliver(scene, &record, kSend);
}

// Creates the sprite's instance in the scene and hides it.
void CreateHidden(uint16_t scene, uint16_t sprite) {
    ShowSprite(scene, sprite, kSend);
    SetSpriteVisible(scene, sprite, false, kSend);
}

// The entry `steps` entries on from `from` (backwards when `forward` is false); null when the list
// ends before.
StampEntry* StepFrom(StampEntry* from, std::size_t steps, bool forward) {
    for (std::size_t i = 0; i < steps && from != nullptr; ++i) {
        from = forward ? from->next : from->prev;
    }
    return from;
}

bool IsCursorRecord(const EDict* record) {
    return EDictGetType(record) == code::kCursor && EDictGetShort(record, atoms::CNAME) == atoms::CURSOR;
}

}  // namespace

StampPage::StampPage(StampPanel& owner, uint32_t index, uint16_t scene)
    : page_sprite_(FetchAtomFormat("AniWrPanel%d", static_cast<int>(index) + 1)),
      index_(index),
      scene_(scene),
      highlight_(atoms::stamps::AniWrHilite),
      owner_(&owner) {
    // The category's dictionary is bound first and released once its stamps are read.
    DataDictReader reader;
    reader.SetNameAtom(FetchAtomFormat("DctWrIcons%d", static_cast<int>(index) + 1));
    reader.Bind();
    category_ = reader.GetText(atoms::stamps::Category, DataDictReader::kPlain);
    CreateHidden(scene_, page_sprite_);
    for (std::size_t k = 0; k < kStampSlots; ++k) {
        const auto letter = static_cast<char>('A' + k);
        boxes_[k] = FetchAtom((std::string("Box") + letter).c_str());
        slot_sprites_[k] = FetchAtom((std::string("SptWrIcon") + letter).c_str());
    }
    CreateCaptions();
    ReadStamps(reader);
}

StampPage::~StampPage() {
    while (StampEntry* entry = stamps_.Head()) {
        stamps_.Unlink(entry);
        delete entry;
    }
}

const std::array<SlotPoint, kStampSlots>& StampPage::SlotPoints() {
    return kSlotPoints;
}

void StampPage::CreateCaptions() {
    for (std::size_t k = 0; k < kStampSlots; ++k) {
        captions_[k] = FetchAtomFormat("IconText%d", static_cast<int>(k));
        CreateInstance(scene_, atoms::stamps::TxtWrIconText, captions_[k], kSlotPoints[k].x - kCaptionLeft,
                       kSlotPoints[k].y + kCaptionBelow, kCaptionLayer);
    }
}

void StampPage::ReadStamps(DataDictReader& reader) {
    const int32_t count = reader.FormsCount();
    for (int32_t j = 0; j < count; ++j) {
        auto* entry = new StampEntry;
        entry->sprite = reader.GetShort(atoms::stamps::image, j);
        entry->caption = reader.GetText(atoms::stamps::text, j);
        entry->scene = scene_;
        stamps_.Append(entry);
    }
}

const StampEntry* StampPage::InSlot(std::size_t slot) const {
    if (slot >= kStampSlots) {
        return nullptr;
    }
    return StepFrom(first_visible_, slot, true);
}

void StampPage::Show() {
    SetSpriteVisible(scene_, page_sprite_, true, kSend);
    if (first_visible_ == nullptr) {
        first_visible_ = stamps_.Head();
    }
    StampEntry* entry = first_visible_;
    for (std::size_t k = 0; k < kStampSlots && entry != nullptr; ++k, entry = entry->next) {
        entry->x = kSlotPoints[k].x;
        entry->y = kSlotPoints[k].y;
        ShowSprite(scene_, entry->sprite, kSend);
        MoveSprite(scene_, entry->sprite, entry->x, entry->y, kStampDelay);
        SetSpriteVisible(scene_, entry->sprite, true, kStampDelay);
        SetSpriteText(scene_, captions_[k], entry->caption.c_str(), kSend);
        SetSpriteVisible(scene_, captions_[k], true, kSend);
    }
}

void StampPage::Hide() {
    SetSpriteVisible(scene_, page_sprite_, false, kSend);
    StampEntry* entry = first_visible_;
    for (std::size_t k = 0; k < kStampSlots && entry != nullptr; ++k, entry = entry->next) {
        HideSprite(scene_, entry->sprite, kSend);
        SetSpriteVisible(scene_, captions_[k], false, kSend);
    }
}

void StampPage::Clear() {
    StampEntry* entry = first_visible_;
    for (std::size_t k = 0; k < kStampSlots && entry != nullptr; ++k, entry = entry->next) {
        HideSprite(scene_, entry->sprite, kSend);
    }
    for (uint16_t caption : captions_) {
        SetSpriteText(scene_, caption, "", kSend);
    }
}

bool StampPage::ScrollDown() {
    StampEntry* target = StepFrom(first_visible_, kStampRow, true);
    if (target == nullptr) {
        return false;
    }
    Clear();
    first_visible_ = target;
    Show();
    return true;
}

bool StampPage::ScrollUp() {
    StampEntry* target = StepFrom(first_visible_, kStampRow, false);
    if (target == nullptr) {
        return false;
    }
    Clear();
    first_visible_ = target;
    Show();
    return true;
}

std::size_t StampPage::SlotOf(uint16_t sprite) const {
    for (std::size_t k = 0; k < kStampSlots; ++k) {
        if (sprite != 0 && slot_sprites_[k] == sprite) {
            return k;
        }
    }
    return kStampSlots;
}

void StampPage::Highlight(std::size_t slot, uint16_t action) {
    if (action == atoms::BEGIN) {
        SetSpriteVisible(scene_, highlight_, true, kSend);
        SetSpriteFX(scene_, highlight_, boxes_[slot], kSend);
    } else if (action == atoms::END) {
        SetSpriteVisible(scene_, highlight_, false, kSend);
    }
}

bool StampPage::HandleMessage(EDict* record, RichTextView* editor) {
    const uint16_t type = EDictGetType(record);
    if (type != code::kCursor && type != code::kClick) {
        return false;
    }
    const std::size_t slot = SlotOf(EDictGetShort(record, atoms::NAME));
    const StampEntry* stamp = InSlot(slot);
    if (stamp == nullptr) {
        return false;
    }
    if (IsCursorRecord(record)) {
        Highlight(slot, EDictGetShort(record, atoms::ACTION));
        return true;
    }
    // The click still reaches the screen, which has nothing to do with it.
    if (type == code::kClick && editor != nullptr) {
        editor->InsertImageAtCursor(stamp->sprite, stamp->caption.c_str());
    }
    return false;
}

StampPanel::StampPanel(uint16_t scene, RichTextView* editor)
    : editor_(editor),
      scene_(scene),
      bar_(atoms::stamps::AniWrBar),
      arrow_up_(atoms::stamps::BtnWrArrowUp),
      arrow_down_(atoms::stamps::BtnWrArrowDown) {
    for (std::size_t i = 0; i < kStampCategories; ++i) {
        pages_[i] = std::make_unique<StampPage>(*this, static_cast<uint32_t>(i), scene_);
        category_buttons_[i] = FetchAtomFormat("BtnWrCategory%d", static_cast<int>(i) + 1);
    }
    current_ = 0;
    pages_[current_]->Hide();
    for (uint16_t button : category_buttons_) {
        CreateHidden(scene_, button);
    }
    for (uint16_t sprite : {bar_, arrow_up_, arrow_down_}) {
        CreateHidden(scene_, sprite);
    }
    open_ = 0;
}

StampPanel::~StampPanel() = default;

void StampPanel::SetChromeVisible(bool visible) {
    for (uint16_t sprite : {bar_, arrow_up_, arrow_down_}) {
        SetSpriteVisible(scene_, sprite, visible, kSend);
    }
    for (std::size_t k = 0; k < kStampSlots; ++k) {
        SetSpriteVisible(scene_, pages_[current_]->SlotSprite(k), visible, kSend);
    }
}

void StampPanel::Open() {
    open_ = 1;
    for (uint16_t button : category_buttons_) {
        SetSpriteVisible(scene_, button, true, kSend);
    }
    pages_[current_]->Show();
    SetChromeVisible(true);
    RefreshButtonLooks();
}

void StampPanel::Close() {
    open_ = 0;
    for (uint16_t button : category_buttons_) {
        SetSpriteVisible(scene_, button, false, kSend);
    }
    pages_[current_]->Hide();
    SetChromeVisible(false);
}

void StampPanel::RefreshButtonLooks() {
    for (std::size_t i = 0; i < kStampCategories; ++i) {
        SetSpriteFX(scene_, category_buttons_[i], i == current_ ? atoms::buttons::Roll : atoms::buttons::Up, 0);
    }
}

void StampPanel::SelectCategory(uint32_t index) {
    if (index >= kStampCategories) {
        return;
    }
    pages_[current_]->Hide();
    current_ = index;
    pages_[current_]->Show();
    RefreshButtonLooks();
}

bool StampPanel::OnCategoryPointer(EDict* record) {
    const uint16_t sprite = EDictGetShort(record, atoms::NAME);
    for (uint16_t button : category_buttons_) {
        if (sprite != button) {
            continue;
        }
        const uint16_t action = EDictGetShort(record, atoms::ACTION);
        if (action == atoms::BEGIN) {
            SetSpriteFX(scene_, button, atoms::buttons::Roll, 0);
        } else if (action == atoms::END) {
            SetSpriteFX(scene_, button, atoms::buttons::Up, 0);
            RefreshButtonLooks();
        }
        return true;
    }
    return false;
}

bool StampPanel::OnClick(uint16_t sprite) {
    if (sprite == arrow_up_) {
        pages_[current_]->ScrollUp();
        return true;
    }
    if (sprite == arrow_down_) {
        pages_[current_]->ScrollDown();
        return true;
    }
    for (std::size_t i = 0; i < kStampCategories; ++i) {
        if (sprite == category_buttons_[i]) {
            SelectCategory(static_cast<uint32_t>(i));
            return true;
        }
    }
    return false;
}

bool StampPanel::HandleMessage(EDict* record) {
    if (IsCursorRecord(record) && OnCategoryPointer(record)) {
        return true;
    }
    if (EDictGetType(record) == code::kClick && OnClick(EDictGetShort(record, atoms::NAME))) {
        return true;
    }
    return pages_[current_]->HandleMessage(record, editor_);
}

}  // namespace wm
