#include "shell/screen_handover.h"

namespace wm {
namespace {

ScreenHandover g_handover;

}  // namespace

ScreenHandover& Handover() {
    return g_handover;
}

}  // namespace wm
