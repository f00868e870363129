#include "driver/script.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "scene/key_codes.h"
#include "driver/script_tokens.h"

namespace harbor {

namespace {

using Words = std::vector<Word>;

// Each parser fills the command from the words after the command name, or returns what is wrong.
using Parser = std::function<std::string(const Words& args, ScriptCommand& command)>;

std::string WantOneName(const Words& args, ScriptCommand& command, const char* what) {
    if (args.size() != 1) return std::string("needs one ") + what;
    command.target = args[0].text;
    return "";
}

std::string ParseStart(const Words& args, ScriptCommand& command) {
    for (const Word& word : args) {
        const std::size_t eq = word.text.find('=');
        if (eq == std::string::npos) return "start takes options player=, kite=, password=; not '" + word.text + "'";
        const std::string option = word.text.substr(0, eq);
        std::string value = word.text.substr(eq + 1);
        if (option == "player") {
            command.identity.player = std::move(value);
        } else if (option == "kite") {
            command.identity.kite = std::move(value);
        } else if (option == "password") {
            command.identity.password = std::move(value);
        } else {
            return "unknown start option '" + option + "' (player=, kite=, password=)";
        }
    }
    return "";
}

std::string ParseType(const Words& args, ScriptCommand& command, std::string_view line) {
    if (args.size() < 2) return "type needs a field and a text";
    command.target = args[0].text;
    if (args.size() == 2) {
        command.text = args[1].text;
        return "";
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].quoted) return "type: quote the whole text, or none of it";
    }
    // Unquoted words are the text as written, blanks between them included.
    command.text = std::string(line.substr(args[1].start, args.back().end - args[1].start));
    return "";
}

// "keys TEXT": one quoted word, or the rest of the line as written.
std::string ParseKeys(const Words& args, ScriptCommand& command, std::string_view line) {
    if (args.empty()) return "keys needs a text";
    if (args.size() == 1) {
        command.text = args[0].text;
        return "";
    }
    for (const Word& word : args) {
        if (word.quoted) return "keys: quote the whole text, or none of it";
    }
    command.text = std::string(line.substr(args[0].start, args.back().end - args[0].start));
    return "";
}

std::string ParseKey(const Words& args, ScriptCommand& command) {
    if (std::string error = WantOneName(args, command, "key name"); !error.empty()) return error;
    if (!KeyFromName(command.target)) return "unknown key '" + command.target + "'";
    return "";
}

// "clickat X Y": a stage point, as the window's mouse would press it.
std::string ParsePoint(const Words& args, ScriptCommand& command) {
    if (args.size() != 2) return "needs a stage point: X Y";
    int32_t values[2] = {0, 0};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& text = args[i].text;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), values[i]);
        if (ec != std::errc() || end != text.data() + text.size() || values[i] < 0 || values[i] >= 10000) {
            return "'" + text + "' is not a stage coordinate";
        }
    }
    command.x = values[0];
    command.y = values[1];
    return "";
}

// "drag X1 Y1 X2 Y2": pressed at one stage point, released at the other.
std::string ParseDrag(const Words& args, ScriptCommand& command) {
    if (args.size() != 4) return "drag needs two stage points: X1 Y1 X2 Y2";
    ScriptCommand end;
    if (std::string error = ParsePoint(Words(args.begin(), args.begin() + 2), command); !error.empty()) return error;
    if (std::string error = ParsePoint(Words(args.begin() + 2, args.end()), end); !error.empty()) return error;
    command.x2 = end.x;
    command.y2 = end.y;
    return "";
}

std::string ParseWait(const Words& args, ScriptCommand& command) {
    if (args.size() != 1) return "wait needs a number of milliseconds";
    const std::string& text = args[0].text;
    uint64_t ms = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (ec != std::errc() || end != text.data() + text.size()) return "wait: '" + text + "' is not a number of milliseconds";
    if (ms > kMaxWaitMs) return "wait: at most " + std::to_string(kMaxWaitMs) + " ms";
    command.ms = static_cast<uint32_t>(ms);
    return "";
}

std::string ParseExpect(const Words& args, ScriptCommand& command) {
    if (args.empty()) return "expect needs what: visible, hidden, text, drawn, effect, scene, dialog or ended";
    const std::string& what = args[0].text;
    const Words rest(args.begin() + 1, args.end());
    if (what == "visible" || what == "hidden") {
        command.kind = what == "visible" ? CommandKind::ExpectVisible : CommandKind::ExpectHidden;
        return WantOneName(rest, command, "sprite name");
    }
    if (what == "scene") {
        command.kind = CommandKind::ExpectScene;
        return WantOneName(rest, command, "scene name");
    }
    if (what == "text") {
        command.kind = CommandKind::ExpectText;
        if (rest.size() != 2 || !rest[1].quoted) return "expect text needs a sprite and a quoted text";
        command.target = rest[0].text;
        command.text = rest[1].text;
        return "";
    }
    if (what == "drawn") {
        command.kind = CommandKind::ExpectDrawn;
        if (rest.size() != 2 || !rest[1].quoted) return "expect drawn needs a sprite and a quoted text";
        command.target = rest[0].text;
        command.text = rest[1].text;
        return "";
    }
    if (what == "effect") {
        command.kind = CommandKind::ExpectEffect;
        if (rest.size() != 2) return "expect effect needs a sprite and an effect name";
        command.target = rest[0].text;
        command.text = rest[1].text;
        return "";
    }
    if (what == "dialog") {
        command.kind = CommandKind::ExpectDialog;
        if (rest.size() != 1) return "expect dialog needs a quoted text, or none";
        if (!rest[0].quoted && rest[0].text != "none") return "expect dialog: quote the text, or say none";
        command.dialog_none = !rest[0].quoted;
        command.text = rest[0].quoted ? rest[0].text : "";
        return "";
    }
    if (what == "ended") {
        command.kind = CommandKind::ExpectEnded;
        return rest.empty() ? "" : "expect ended takes nothing more";
    }
    return "unknown expectation '" + what + "' (visible, hidden, text, drawn, effect, scene, dialog, ended)";
}

std::string NoArguments(const Words& args, const char* name) {
    return args.empty() ? "" : std::string(name) + " takes nothing more";
}


const std::map<std::string, std::pair<CommandKind, Parser>>& Parsers() {
    static const std::map<std::string, std::pair<CommandKind, Parser>> parsers = {
        {"start", {CommandKind::Start, ParseStart}},
        {"click", {CommandKind::Click, [](const Words& a, ScriptCommand& c) { return WantOneName(a, c, "sprite name"); }}},
        {"press", {CommandKind::Press, [](const Words& a, ScriptCommand& c) { return WantOneName(a, c, "sprite name"); }}},
        {"release", {CommandKind::Release, [](const Words& a, ScriptCommand& c) { return WantOneName(a, c, "sprite name"); }}},
        {"key", {CommandKind::Key, ParseKey}},
        {"wait", {CommandKind::Wait, ParseWait}},
        {"clickat", {CommandKind::ClickAt, [](const Words& a, ScriptCommand& c) { return ParsePoint(a, c); }}},
        {"drag", {CommandKind::Drag, ParseDrag}},
        {"doubleclickat", {CommandKind::ClickAt, [](const Words& a, ScriptCommand& c) {
             c.clicks = 2;
             return ParsePoint(a, c);
         }}},
        {"expect", {CommandKind::ExpectVisible, ParseExpect}},
        {"quit", {CommandKind::Quit, [](const Words& a, ScriptCommand&) { return NoArguments(a, "quit"); }}},
        {"stop", {CommandKind::Stop, [](const Words& a, ScriptCommand&) { return NoArguments(a, "stop"); }}},
        {"snapshot", {CommandKind::Snapshot, [](const Words& a, ScriptCommand& c) { return WantOneName(a, c, "PNG file name"); }}},
    };
    return parsers;
}

std::string ParseLine(std::string_view line, int number, std::vector<ScriptCommand>& out) {
    std::string error;
    std::optional<Words> words = SplitWords(line, error);
    if (!words) return error;
    if (words->empty()) return "";
    ScriptCommand command;
    command.line = number;
    command.source = std::string(line.substr(words->front().start));
    const std::string name = words->front().text;
    const Words args(words->begin() + 1, words->end());
    if (name == "type") {
        command.kind = CommandKind::Type;
        error = ParseType(args, command, line);
    } else if (name == "keys") {
        command.kind = CommandKind::Keys;
        error = ParseKeys(args, command, line);
    } else {
        auto it = Parsers().find(name);
        if (it == Parsers().end() || words->front().quoted) return "unknown command '" + name + "'";
        command.kind = it->second.first;
        error = it->second.second(args, command);
    }
    if (error.empty() && NamesASprite(command.kind) && command.target.empty()) error = "a name cannot be empty";
    if (error.empty()) out.push_back(std::move(command));
    return error;
}

// Snapshot files named relative to the script land beside it, wherever harbor was started, or in
// HARBOR_SNAPSHOT_DIR when that is set (tests keep the source tree clean that way).
void PlaceSnapshots(Script& script) {
    const char* chosen = std::getenv("HARBOR_SNAPSHOT_DIR");
    const std::filesystem::path folder = chosen != nullptr && *chosen != '\0'
                                             ? std::filesystem::path(chosen)
                                             : std::filesystem::path(script.file).parent_path();
    for (ScriptCommand& command : script.commands) {
        if (command.kind != CommandKind::Snapshot) continue;
        const std::filesystem::path file(command.target);
        if (file.is_relative()) command.target = (folder / file).string();
    }
}

}  // namespace

bool NamesASprite(CommandKind kind) {
    switch (kind) {
        case CommandKind::Click:
        case CommandKind::Press:
        case CommandKind::Release:
        case CommandKind::Type:
        case CommandKind::Key:
        case CommandKind::ExpectVisible:
        case CommandKind::ExpectHidden:
        case CommandKind::ExpectText:
        case CommandKind::ExpectDrawn:
        case CommandKind::ExpectScene:
        case CommandKind::Snapshot: return true;
        default: return false;
    }
}

ScriptParseResult ParseScript(std::string_view text, const std::string& file) {
    ScriptParseResult result;
    result.script.file = file;
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::string error = ParseLine(line, number, result.script.commands);
        if (!error.empty()) result.errors.push_back(file + ":" + std::to_string(number) + ": " + error);
        if (text.empty()) break;
    }
    PlaceSnapshots(result.script);
    return result;
}

}  // namespace harbor
