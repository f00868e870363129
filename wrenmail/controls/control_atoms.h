// Names the painted controls use that the messaging core does not keep.
#ifndef WRENMAIL_CONTROLS_CONTROL_ATOMS_H
#define WRENMAIL_CONTROLS_CONTROL_ATOMS_H

#include <cstdint>

#include "messaging/name_atoms.h"

WM_DECLARE_ATOM(controls, BITMAP)
WM_DECLARE_ATOM(controls, Bitmap)
WM_DECLARE_ATOM(controls, CONTROLPOS)
WM_DECLARE_ATOM(controls, POINTER)
WM_DECLARE_ATOM(controls, ITEM)
WM_DECLARE_ATOM(controls, Default)
WM_DECLARE_ATOM(controls, Still)
WM_DECLARE_ATOM(controls, up)
WM_DECLARE_ATOM(controls, down)
WM_DECLARE_ATOM(controls, ListCanvasPort)
WM_DECLARE_ATOM(controls, ScrollCanvasPort)
WM_DECLARE_ATOM(controls, PivotButtonCanvasPortUp)
WM_DECLARE_ATOM(controls, PivotButtonCanvasPortDown)

namespace wm {

// The atom of a sprite name made from a printf format with one %ld and a counter.
uint16_t CounterAtom(const char* format, long number);

}  // namespace wm

#endif
