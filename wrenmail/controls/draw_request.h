// The host's draw requests on a control's canvas port, and the answer the module gives.
#ifndef WRENMAIL_CONTROLS_DRAW_REQUEST_H
#define WRENMAIL_CONTROLS_DRAW_REQUEST_H

#include <cstdint>

#include "canvas.h"
#include "edict.h"

namespace wm {

struct DrawRequest {
    CanvasInterface* canvas;  // null when the request carries none
    uint16_t sprite;
};

DrawRequest ReadDrawRequest(const EDict* record);

// A canvas port's answer to a picture that changed. The host takes the very first answer of a
// port since loading as the whole picture; every later one also names the area, (0, 0, width,
// height). Each port keeps its own latch.
class DrawAnswer {
public:
    void Answer(EDict* record, uint32_t width, uint32_t height);
    // Counts a request, answered or not: only the very first request goes without the area.
    void CountRequest() { ++requests_; }
    void Reset() { requests_ = 0; }

private:
    uint32_t requests_ = 0;
};

}  // namespace wm

#endif
