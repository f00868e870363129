// Driver scripts (docs/driver-scripts.md): one command a line, `#` comments, blank lines.
// Parsing checks everything that can be checked without running: command names, argument
// counts, numbers, key names, quoting.
#ifndef HARBOR_DRIVER_SCRIPT_H
#define HARBOR_DRIVER_SCRIPT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/identity.h"

namespace harbor {

enum class CommandKind {
    Start,
    Click,
    ClickAt,  // x, y and clicks (1, or 2 for a double click)
    Drag,     // from x, y to x2, y2
    Press,
    Release,
    Type,
    Key,
    Keys,     // text: typed to whatever has the keyboard
    Wait,
    ExpectVisible,
    ExpectHidden,
    ExpectText,
    ExpectEffect,
    ExpectScene,
    ExpectDialog,    // text empty and dialog_none set: the dialog is hidden
    ExpectEnded,
    ExpectDrawn,     // target: the sprite; text: what its picture's texts contain
    Snapshot,        // target: the PNG file, made relative to the script's folder
    Quit,
    Stop,
};

struct ScriptCommand {
    CommandKind kind = CommandKind::Stop;
    int line = 0;
    std::string source;  // the line as written, for messages
    std::string target;  // the sprite, field, scene or key name; the snapshot's file
    std::string text;    // typed text, expected text
    bool dialog_none = false;
    uint32_t ms = 0;     // wait
    int32_t x = 0;       // clickat, doubleclickat: a stage point
    int32_t y = 0;
    int32_t clicks = 1;
    int32_t x2 = 0;      // drag: where the mouse is released
    int32_t y2 = 0;
    Identity identity;   // start options
};

struct Script {
    std::string file;  // named in messages
    std::vector<ScriptCommand> commands;
};

struct ScriptParseResult {
    Script script;
    std::vector<std::string> errors;  // "FILE:LINE: what is wrong", one per bad line
    explicit operator bool() const { return errors.empty(); }
};

ScriptParseResult ParseScript(std::string_view text, const std::string& file);

// Commands whose target names a sprite, scene, key or file: the parser never accepts them with an
// empty target.
bool NamesASprite(CommandKind kind);

// The longest wait one command may ask for: a day of clock time.
inline constexpr uint32_t kMaxWaitMs = 24u * 60u * 60u * 1000u;

}  // namespace harbor

#endif
