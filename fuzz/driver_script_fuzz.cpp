// Drives the script parser over arbitrary text: every error names the file and a line, and every
// command it accepted is whole (a line of the text, a target or text where the command needs one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "driver/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const harbor::ScriptParseResult result = harbor::ParseScript(text, "fuzz.harbor");
    for (const std::string& error : result.errors) {
        if (error.rfind("fuzz.harbor:", 0) != 0) std::abort();
    }
    int last_line = 0;
    for (const harbor::ScriptCommand& command : result.script.commands) {
        if (command.line <= last_line) std::abort();  // one command a line, in order
        last_line = command.line;
        if (harbor::NamesASprite(command.kind) && command.target.empty()) std::abort();
        if (command.kind == harbor::CommandKind::Keys && command.text.empty() && command.source.find('"') == std::string::npos) {
            std::abort();  // an unquoted text is never empty
        }
        if (command.kind == harbor::CommandKind::Wait && command.ms > harbor::kMaxWaitMs) std::abort();
    }
    return 0;
}
