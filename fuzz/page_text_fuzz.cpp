// Harbor's page viewer reads any file a setting names: any bytes give a title and a text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "services/page_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const harbor::PageText page = harbor::ReadPageText(std::string_view(reinterpret_cast<const char*>(data), size));
    // Words only come from the input (references add at most a few bytes each).
    if (page.text.size() + page.title.size() > 3 * size + 16) __builtin_trap();
    return 0;
}
