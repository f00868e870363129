#include "richtext/rich_images.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "richtext/rich_document_internals.h"

namespace wm {
namespace {

// Instances are never renamed or reused while the module stays loaded, whatever document
// made them, so the counter belongs to the module.
int g_image_instances = 0;

EDict NewRecord(uint16_t type) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    return record;
}

// The source sprite's size as the host answers it.
void AskSize(uint16_t port, uint16_t source, uint16_t* width, uint16_t* height) {
    EDict record = NewRecord(code::kGetRect);
    EDictPutShort(&record, atoms::NAME, source);
    EDictPutShort(&record, atoms::KIND, atoms::SP_GENERAL);
    EDictPutBool(&record, atoms::layout::NOTIFY, false);
    HxPortSend(port, &record);
    *width = static_cast<uint16_t>(EDictGetLong(&record, atoms::RX2) - EDictGetLong(&record, atoms::RX1));
    *height = static_cast<uint16_t>(EDictGetLong(&record, atoms::RY2) - EDictGetLong(&record, atoms::RY1));
}

uint16_t NameInstance() {
    char name[32];
    std::snprintf(name, sizeof name, kImageInstanceFormat, kImageInstancePrefix, g_image_instances);
    ++g_image_instances;
    return FetchAtom(name);
}

// A hidden, still instance of the source, made on the host.
void CreateInstance(uint16_t port, uint16_t source, uint16_t instance) {
    EDict record = NewRecord(code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, source);
    EDictPutShort(&record, atoms::INAME, instance);
    EDictPutLong(&record, atoms::X, 0);
    EDictPutLong(&record, atoms::Y, 0);
    EDictPutLong(&record, atoms::Z, 10);
    EDictPutBool(&record, atoms::layout::NOTIFY, false);
    EDictPutBool(&record, atoms::VISIBLE, false);
    HxPortSend(port, &record);
    EDict effect = NewRecord(code::kSetEffect);
    EDictPutShort(&effect, atoms::NAME, instance);
    EDictPutShort(&effect, atoms::FX, atoms::richtext::Still);
    EDictPutBool(&effect, atoms::layout::NOTIFY, false);
    HxPortSend(port, &effect);
}

char* DecimalText(uint16_t value, uint32_t* length) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    return CopyText(digits, length);
}

}  // namespace

int RichDocument::ImageInstanceCounter() {
    return g_image_instances;
}

ImageInfo* RichImageRecords::FindRecord(const RichDocument& d, const char* id_name) {
    for (RichNode* node = d.image_records_.head; node != nullptr; node = node->next) {
        auto* record = static_cast<ImageInfo*>(node);
        if (std::strcmp(record->id_name, id_name) == 0) return record;
    }
    return nullptr;
}

ImageInfo* RichImageRecords::NewRecord(const char* id_name, const char* name_text, uint16_t width,
                                            uint16_t height) {
    auto* record = new (std::nothrow) ImageInfo;
    if (record == nullptr) return nullptr;
    record->name_text = CopyText(name_text, &record->name_length);
    record->id_name = CopyText(id_name, &record->id_length);
    record->width_text = DecimalText(width, &record->width_length);
    record->height_text = DecimalText(height, &record->height_length);
    if (record->name_text == nullptr || record->id_name == nullptr || record->width_text == nullptr ||
        record->height_text == nullptr) {
        delete record;
        return nullptr;
    }
    return record;
}

// Records are kept in decreasing byte order of their ID names.
void RichImageRecords::LinkRecord(RichDocument& d, ImageInfo* record) {
    RichNode* node = d.image_records_.head;
    while (node != nullptr && std::strcmp(static_cast<ImageInfo*>(node)->id_name, record->id_name) >= 0) {
        node = node->next;
    }
    d.image_records_.InsertBefore(node, record);
}

bool RichDocument::InsertImage(uint32_t position, uint16_t port, uint16_t source, const char* name_text,
                               uint16_t width, uint16_t height) {
    if (position >= maximum_length_ || image_count_ >= kRichMaximumImages) return false;
    // A position outside the text or a source the host could not name is refused before the
    // host hears of it.
    if (position < 1 || position > length_ + 1 || source == 0) return false;
    Internals::Placement plan;
    if (!Internals::PlanPlacement(*this, position, RichKind::ImageSlice, &plan)) return false;
    if (width == 0 || height == 0) AskSize(port, source, &width, &height);
    const char* id_name = DaNameGetString(source);
    if (id_name == nullptr) id_name = "";
    ImageInfo* record = RichImageRecords::FindRecord(*this, id_name);
    if (record == nullptr) {
        record = RichImageRecords::NewRecord(id_name, name_text, width, height);
        if (record == nullptr) {
            Internals::CancelPlacement(&plan);
            return false;
        }
        RichImageRecords::LinkRecord(*this, record);
    }
    const uint16_t instance = NameInstance();
    CreateInstance(port, source, instance);
    RichSlice* slice = Internals::ApplyPlacement(*this, &plan);
    ImageSlot* slot = slice->SlotAt(slice->count - 1u);
    slot->record = record;
    slot->port = port;
    slot->sprite = instance;
    slot->width = width;
    slot->height = height;
    ++length_;
    ++image_count_;
    modified_ = 1;
    change_position_ = position;
    walker_ = WalkerState{};
    return true;
}

}  // namespace wm
