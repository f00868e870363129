/* The host's drawing canvas, handed to the module with each draw request (30072) under the key
 * "Bitmap" as HxRef of a CanvasInterface*. The order of the virtual operations is part of the ABI:
 * never reorder or insert. Coordinates and sizes are canvas units (pixels).
 *
 * Ownership: the canvas belongs to the host and is valid only while the draw request that carries
 * it is being handled; the module draws during that call and never keeps or deletes it. Texts
 * passed to its operations are read during the call. */
#ifndef WRENMAIL_CANVAS_H
#define WRENMAIL_CANVAS_H

#include <stdint.h>

#include "hxcall.h"

struct CanvasSize {
    int32_t width;
    int32_t height;
};

class CanvasInterface {
public:
    virtual void HXCALL PenPosition(float* x, float* y) = 0;
    virtual void HXCALL GetSize(int32_t* width, int32_t* height) = 0;
    virtual CanvasSize HXCALL Size() = 0;
    virtual void HXCALL LineTo(float x, float y) = 0;
    virtual void HXCALL MoveTo(float x, float y) = 0;
    virtual void HXCALL Rectangle(float x, float y, float width, float height) = 0; /* into the path */
    virtual void HXCALL SetPenWidth(float width) = 0;
    virtual void HXCALL SetColor(uint8_t red, uint8_t green, uint8_t blue) = 0;
    virtual void HXCALL DrawText(const char* text) = 0; /* at the pen, which advances by the width */
    virtual void HXCALL MeasureText(const char* text, float* width, float* height) = 0;
    virtual void HXCALL MeasureTextInt(const char* text, int32_t* width, int32_t* height) = 0;
    virtual void HXCALL Stroke() = 0;
    virtual void HXCALL Fill() = 0;
    /* style: 0 plain, 1 bold, 2 italic, 3 bold italic; size in canvas units */
    virtual void HXCALL SelectFont(const char* name, int32_t style, int32_t size) = 0;
    virtual ~CanvasInterface() = default;
};

#endif
