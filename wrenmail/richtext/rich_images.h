// Images in the text: each one is a host sprite instance made from a source sprite, and every
// source has one shared record (its NAME text and size) in a list sorted by ID name.
#ifndef WRENMAIL_RICHTEXT_RICH_IMAGES_H
#define WRENMAIL_RICHTEXT_RICH_IMAGES_H

#include <cstdint>

#include "richtext/rich_document.h"

namespace wm {

struct RichImageRecords {
    static ImageInfo* FindRecord(const RichDocument& d, const char* id_name);
    // Null when memory runs out.
    static ImageInfo* NewRecord(const char* id_name, const char* name_text, uint16_t width, uint16_t height);
    static void LinkRecord(RichDocument& d, ImageInfo* record);
};

}  // namespace wm

#endif
