#include "controls/draw_request.h"

#include "controls/control_atoms.h"

namespace wm {

DrawRequest ReadDrawRequest(const EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, atoms::controls::Bitmap));
    return DrawRequest{canvas, EDictGetShort(record, atoms::NAME)};
}

void DrawAnswer::Answer(EDict* record, uint32_t width, uint32_t height) {
    EDictPutBool(record, atoms::UPDATED, true);
    if (requests_ > 1) {
        EDictPutLong(record, atoms::X, 0);
        EDictPutLong(record, atoms::Y, 0);
        EDictPutLong(record, atoms::WIDTH, static_cast<int32_t>(width));
        EDictPutLong(record, atoms::HEIGHT, static_cast<int32_t>(height));
    }
}

}  // namespace wm
