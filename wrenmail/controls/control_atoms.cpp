#include "controls/control_atoms.h"

#include <cstdio>

WM_DEFINE_ATOM(controls, BITMAP)
WM_DEFINE_ATOM(controls, Bitmap)
WM_DEFINE_ATOM(controls, CONTROLPOS)
WM_DEFINE_ATOM(controls, POINTER)
WM_DEFINE_ATOM(controls, ITEM)
WM_DEFINE_ATOM(controls, Default)
WM_DEFINE_ATOM(controls, Still)
WM_DEFINE_ATOM(controls, up)
WM_DEFINE_ATOM(controls, down)
WM_DEFINE_ATOM(controls, ListCanvasPort)
WM_DEFINE_ATOM(controls, ScrollCanvasPort)
WM_DEFINE_ATOM(controls, PivotButtonCanvasPortUp)
WM_DEFINE_ATOM(controls, PivotButtonCanvasPortDown)

namespace wm {

uint16_t CounterAtom(const char* format, long number) {
    char name[96];
    std::snprintf(name, sizeof name, format, number);
    return FetchAtom(name);
}

}  // namespace wm
