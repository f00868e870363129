// harbor: loads the mail module and runs it headless, from a driver script or as a short demo.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "driver/command_line.h"
#include "driver/demo.h"
#include "driver/driver.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "runtime/locations.h"
#include "runtime/record_tracer.h"
#include "runtime/session.h"
#include "runtime/trace_log.h"

namespace {

using namespace harbor;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

SessionOptions OptionsFrom(const CommandLine& line) {
    const std::filesystem::path exe_dir = ExecutableDir();
    SessionOptions options;
    options.module_path = line.module ? *line.module : FirstExisting(ModuleCandidates(exe_dir));
    options.content_dir = line.content ? *line.content : FirstExisting(ContentCandidates(exe_dir));
    options.data_dir = line.data ? *line.data : DefaultDataDir();
    options.identity = line.identity;
    options.headless = true;  // no window yet: every run is headless
    return options;
}

std::optional<Script> ReadScript(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "harbor: cannot read the script " << file.string() << "\n";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    ScriptParseResult parsed = ParseScript(text.str(), file.string());
    for (const std::string& error : parsed.errors) std::cerr << error << "\n";
    if (!parsed) return std::nullopt;
    return std::move(parsed.script);
}

int RunScriptFile(Session& session, const Script& script) {
    Driver driver(session);
    ScriptOutcome outcome = RunScript(script, driver);
    if (!outcome.ok) {
        std::cerr << outcome.failure << "\n";
        return kFailed;
    }
    session.Stop();
    return 0;
}

int Run(const CommandLine& line) {
    std::optional<Script> script;
    if (line.script && !(script = ReadScript(*line.script))) return kUsage;
    std::unique_ptr<RecordTracer> tracer;
    if (line.trace) {
        TraceLog::Instance().SetSink([](std::string_view text) { std::cerr << text << '\n'; });
        tracer = std::make_unique<RecordTracer>(line.trace_timers);
    } else {
        TraceLog::Instance().SetProblemSink([](std::string_view text) { std::cerr << "harbor: " << text << '\n'; });
    }
    Session session(OptionsFrom(line));
    std::string error;
    if (!session.LoadModule(error)) {
        std::cerr << "harbor: " << error << "\n";
        return kUsage;
    }
    return script ? RunScriptFile(session, *script) : RunDemo(session, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
    CommandLineResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "harbor: " << parsed.error << "\n";
        return kUsage;
    }
    if (parsed.options.help) {
        std::cout << HelpText();
        return 0;
    }
    const int status = Run(parsed.options);
    TraceLog::Instance().SetSink(nullptr);
    TraceLog::Instance().SetProblemSink(nullptr);
    return status;
}
