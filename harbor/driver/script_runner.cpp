#include "driver/script_runner.h"

#include <optional>

#include "base/trace_log.h"

namespace harbor {

namespace {

std::string Act(const ScriptCommand& c, Driver& d) {
    switch (c.kind) {
        case CommandKind::Start: return d.Start(c.identity);
        case CommandKind::Click: return d.Click(c.target);
        case CommandKind::ClickAt: return d.ClickAt(c.x, c.y, c.clicks);
        case CommandKind::Drag: return d.Drag(c.x, c.y, c.x2, c.y2);
        case CommandKind::Press: return d.Press(c.target);
        case CommandKind::Release: return d.Release(c.target);
        case CommandKind::Type: return d.Type(c.target, c.text);
        case CommandKind::Key: return d.Key(c.target);
        case CommandKind::Keys: return d.Keys(c.text);
        case CommandKind::Wait: return d.Wait(c.ms);
        case CommandKind::Quit: return d.Quit();
        case CommandKind::Stop: return d.Stop();
        case CommandKind::Snapshot: return d.Snapshot(c.target);
        default: return "";
    }
}

std::optional<Check> Expect(const ScriptCommand& c, const Driver& d) {
    switch (c.kind) {
        case CommandKind::ExpectVisible: return d.Visible(c.target, true);
        case CommandKind::ExpectHidden: return d.Visible(c.target, false);
        case CommandKind::ExpectText: return d.Text(c.target, c.text);
        case CommandKind::ExpectEffect: return d.Effect(c.target, c.text);
        case CommandKind::ExpectScene: return d.Scene(c.target);
        case CommandKind::ExpectDialog:
            return d.Dialog(c.dialog_none ? std::nullopt : std::optional<std::string>(c.text));
        case CommandKind::ExpectEnded: return d.Ended();
        case CommandKind::ExpectDrawn: return d.Drawn(c.target, c.text);
        default: return std::nullopt;
    }
}

// The report of a failed command, or "" when it went as written.
std::string Report(const ScriptCommand& c, Driver& d) {
    if (std::optional<Check> check = Expect(c, d)) {
        return check->ok ? "" : "expected " + check->expected + ", found " + check->found;
    }
    return Act(c, d);
}

}  // namespace

ScriptOutcome RunScript(const Script& script, Driver& driver) {
    ScriptOutcome outcome;
    for (const ScriptCommand& command : script.commands) {
        TraceNote("script", script.file + ":" + std::to_string(command.line) + ": " + command.source);
        ++outcome.commands_run;
        std::string failure = Report(command, driver);
        if (failure.empty()) continue;
        outcome.ok = false;
        outcome.failed_line = command.line;
        outcome.failure = script.file + ":" + std::to_string(command.line) + ": " + command.source + ": " + failure;
        break;
    }
    return outcome;
}

}  // namespace harbor
