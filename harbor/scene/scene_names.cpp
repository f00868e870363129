#include "scene/scene_names.h"

#include "hxmsg.h"

namespace harbor {

uint16_t Atom(const char* name) { return static_cast<uint16_t>(DaNameGet(name)); }

std::string AtomName(uint16_t atom) {
    const char* text = atom != 0 ? DaNameGetString(atom) : nullptr;
    return text != nullptr ? std::string(text) : "#" + std::to_string(atom);
}

SceneNames::SceneNames()
    : app_port(Atom("AppPort")),
      keyboard_port(Atom("KeyboardPort")),
      name(Atom("NAME")),
      sprite_name(Atom("SPRITENAME")),
      iname(Atom("INAME")),
      x(Atom("X")),
      y(Atom("Y")),
      z(Atom("Z")),
      visible(Atom("VISIBLE")),
      notify(Atom("NOTIFY")),
      text(Atom("TEXT")),
      focus(Atom("FOCUS")),
      fx(Atom("FX")),
      get(Atom("GET")),
      all(Atom("ALL")),
      interactive(Atom("INTERACTIVE")),
      forced_update(Atom("FORCEDUPDATE")),
      rx1(Atom("RX1")),
      ry1(Atom("RY1")),
      rx2(Atom("RX2")),
      ry2(Atom("RY2")),
      key(Atom("KEY")),
      tab(Atom("TAB")),
      enter(Atom("ENTER")),
      action(Atom("ACTION")),
      begin(Atom("BEGIN")),
      end(Atom("END")),
      cname(Atom("CNAME")),
      cursor(Atom("CURSOR")),
      count(Atom("COUNT")),
      ascii(Atom("ASCII")),
      alt_key(Atom("ALTKEY")),
      shift_key(Atom("SHIFTKEY")),
      ctl_key(Atom("CTLKEY")) {}

}  // namespace harbor
