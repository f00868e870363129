#include "richtext/rich_document.h"

namespace wm {

namespace {
int g_image_instances = 0;
}  // namespace

void NodeList::Append(RichNode* node) { InsertAfter(tail, node); }

void NodeList::InsertAfter(RichNode* after, RichNode* node) {
    node->prev = after;
    node->next = after != nullptr ? after->next : head;
    if (node->next != nullptr) {
        node->next->prev = node;
    } else {
        tail = node;
    }
    if (after != nullptr) {
        after->next = node;
    } else {
        head = node;
    }
}

void NodeList::InsertBefore(RichNode* before, RichNode* node) {
    InsertAfter(before != nullptr ? before->prev : tail, node);
}

void NodeList::Unlink(RichNode* node) {
    (node->prev != nullptr ? node->prev->next : head) = node->next;
    (node->next != nullptr ? node->next->prev : tail) = node->prev;
    node->prev = nullptr;
    node->next = nullptr;
}

FontRun::~FontRun() { delete[] font_name; }

ImageInfo::~ImageInfo() {
    delete[] name_text;
    delete[] id_name;
    delete[] width_text;
    delete[] height_text;
}

RichDocument::RichDocument() { Reset(); }
RichDocument::~RichDocument() { Reset(); }

void RichDocument::Reset() {
    length_ = 0;
    image_count_ = 0;
    modified_ = 1;
    change_position_ = 1;
}

bool RichDocument::InsertCharacter(uint32_t, char) { return false; }
bool RichDocument::InsertImage(uint32_t, uint16_t, uint16_t, const char*, uint16_t, uint16_t) { return false; }
bool RichDocument::InsertFontRun(uint32_t, RichKind, const char*, float, uint32_t, uint8_t, uint8_t, uint8_t,
                                 CanvasInterface*) {
    return false;
}
void RichDocument::DeleteRange(uint32_t, uint32_t) {}
FontRun* RichDocument::FindTextFontAt(uint32_t) const { return nullptr; }
FontRun* RichDocument::FindImageNameFontAt(uint32_t) const { return nullptr; }
bool RichDocument::Classify(uint32_t, Classification*) { return false; }
uint32_t RichDocument::PreviousWordStart(uint32_t position) { return position; }
uint32_t RichDocument::NextWordStart(uint32_t position) { return position; }
void RichDocument::HideImageSprites() const {}
const char* RichDocument::ProduceTaggedBodyText() { return ""; }
const char* RichDocument::ProducePlainBodyText() { return ""; }
void RichDocument::LoadTaggedBodyText(const char*) { Reset(); }
void RichDocument::LoadPlainBodyText(const char*) { Reset(); }
bool RichDocument::WalkTo(uint32_t) { return false; }
void RichDocument::SetWalker(const WalkerState& state) { walker_ = state; }
void RichDocument::ClearWalker() { walker_ = WalkerState{}; }
bool RichDocument::ElementAt(uint32_t, RichElement*) { return false; }
int RichDocument::ImageInstanceCounter() { return g_image_instances; }

}  // namespace wm
