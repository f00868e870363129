#include "canvas/module_picture.h"
#include "message_codes.h"

#include "edict.h"
#include "hxmsg.h"
#include "base/atoms.h"

namespace harbor {

namespace {


}  // namespace

void ModulePicture::Keep() {
    if (!canvas) return;
    picture = KeyedPicture(canvas->Surface(), transparent);
    text = canvas->DrawnText();
}

bool RequestDrawing(uint16_t port, uint16_t sprite, CairoCanvas& canvas) {
    static const uint16_t name_key = AtomOf("NAME");
    static const uint16_t canvas_key = AtomOf("Bitmap");
    static const uint16_t updated_key = AtomOf("UPDATED");
    if (port == 0) return false;
    canvas.ForgetDrawnText();
    EDict request;
    EDictClear(&request);
    EDictSetType(&request, code::kDraw);
    request.time = static_cast<uint32_t>(HxNow());
    EDictPutShort(&request, name_key, sprite);
    EDictPutPointer(&request, canvas_key, static_cast<CanvasInterface*>(&canvas));
    return HxPortSend(port, &request) && EDictGetBool(&request, updated_key);
}

}  // namespace harbor
