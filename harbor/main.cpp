// harbor: loads the mail module and runs it in the window, or headless from a driver script or as a
// short demo.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string_view>

#include "driver/command_line.h"
#include "hxmsg.h"
#include "driver/demo.h"
#include "driver/driver.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "mail/mail_commands.h"
#include "mail/password_prompt.h"
#include "mail/recover_command.h"
#include "mail/server_command.h"
#include "print/print_notice.h"
#include "print/print_setup.h"
#include "fileio/dict_dump.h"
#include "render/scene_painter.h"
#include "runtime/locations.h"
#include "runtime/module_library.h"
#include "runtime/record_tracer.h"
#include "runtime/session.h"
#include "base/data_folder.h"
#include "fileio/data_root_lock.h"
#include "runtime/start_checks.h"
#include "base/trace_log.h"
#include "window/page_command.h"
#include "window/plain_page.h"
#include "window/sound_player.h"
#include "window/stage_window.h"

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
    options.mail.reachable = !line.mail_offline;
    if (line.dialup) options.dialup = *line.dialup;
    options.headless = line.headless;
    return options;
}

WindowOptions WindowOptionsFrom(const CommandLine& line, const SessionOptions& session) {
    WindowOptions options;
    options.sounds_dir =
        line.sounds ? *line.sounds : FirstExisting(SoundFolderCandidates(ExecutableDir(), session.content_dir));
    return options;
}

// A problem that stops harbor before the module runs: one line on standard error, and a plain
// page in the window when harbor was to open one.
int Fatal(const CommandLine& line, const SessionOptions& options, const std::string& problem) {
    std::cerr << "harbor: " << problem << "\n";
    if (!line.headless) ShowErrorPage(problem, options.content_dir);
    return kUsage;
}

// One harbor per data root: a window gives up at once when another has the root, scripts and
// the demo wait for it a little, as commands do.
std::optional<DataRootLock> LockDataRoot(const CommandLine& line, const SessionOptions& options, std::string& problem) {
    bool in_use = false;
    std::optional<DataRootLock> lock =
        DataRootLock::Take(options.data_dir, !line.headless ? "window" : line.script ? "script" : "demo",
                           line.headless ? kCommandLockWait : std::chrono::milliseconds(0), problem, in_use);
    if (!lock && in_use && !line.headless) {
        problem = "Wrenmail is already open: " + problem + ". Use the Wrenmail window that is open, or close it and "
                  "start Wrenmail again.";
    }
    return lock;
}

std::string VersionText(const CommandLine& line) {
    const SessionOptions options = OptionsFrom(line);
    // The module's version is the one it carries, read from the library harbor would load.
    std::string problem;
    const std::unique_ptr<ModuleLibrary> module = ModuleLibrary::Open(options.module_path, problem);
    return std::string("harbor ") + HARBOR_VERSION + "\nwrenmail module " +
           (module ? module->Version() + ": " + options.module_path.string() : "unknown: " + problem) + "\n";
}

int RunWindow(std::unique_ptr<StageWindow> window, Session& session, const PrintNotice& print_notice) {
    ScenePainter painter(session.Options().content_dir);
    CanvasSprites& canvases = session.Canvases();
    painter.SetPictureProvider([&canvases](uint16_t scene, uint16_t sprite) { return canvases.Picture(scene, sprite); });
    return window->Run(session, [&painter, &print_notice](cairo_t* cr, const SceneService& scenes, uint64_t now_ms) {
        painter.Paint(cr, scenes, now_ms);
        print_notice.Paint(cr, now_ms);
    });
}

std::optional<Script> ReadScript(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (const std::string problem = ScriptFileProblem(file); !problem.empty() || !in) {
        std::cerr << "harbor: " << (problem.empty() ? "cannot read the script " + file.string() : problem) << "\n";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string_view words = text.view();
    // Editors on some systems start a UTF-8 file with a byte-order mark; it is not part of line 1.
    if (words.starts_with("\xEF\xBB\xBF")) words.remove_prefix(3);
    ScriptParseResult parsed = ParseScript(words, file.string());
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
    std::cout << script.file << ": " << outcome.commands_run << " lines held\n";
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
    const SessionOptions options = OptionsFrom(line);
    std::string problem = ModuleFileProblem(options.module_path);
    if (problem.empty()) problem = ContentFolderProblem(options.content_dir);
    if (problem.empty()) problem = DataFolderProblem(options.data_dir);
    if (!problem.empty()) return Fatal(line, options, problem);
    std::optional<PrintOptions> print_options = PrintOptionsFor(
        {options.data_dir, line.paper, line.printer, line.print_command, line.headless}, problem);
    if (!print_options) return Fatal(line, options, problem);
    std::unique_ptr<StageWindow> window;
    if (!line.headless) {
        std::string why;
        window = StageWindow::Open(WindowOptionsFrom(line, options), why);
        if (!window) {
            std::cerr << "harbor: no display found (" << why << "); run with --headless for the demo or --script FILE\n";
            return kUsage;
        }
    }
    // Made only now: a run that stops for want of a display leaves nothing behind.
    if (problem = MakeDataFolder(options.data_dir); !problem.empty()) {
        window.reset();
        return Fatal(line, options, problem);
    }
    std::optional<DataRootLock> lock = LockDataRoot(line, options, problem);
    if (!lock) {
        window.reset();
        Fatal(line, options, problem);
        return kRootInUse;
    }
    // The window's banner: where printed letters went, and Harbor's own notices such as a full disk.
    PrintNotice print_notice;
    SessionOptions session_options = options;
    if (window) {
        session_options.mail.notice = [&print_notice](const std::string& what) { print_notice.Show(what, HxNow()); };
    }
    Session session(session_options);
    if (!session.SceneProblems().empty()) {
        window.reset();
        return Fatal(line, options, "the content folder " + options.content_dir.string() + " cannot be used: " +
                                        session.SceneProblems().front());
    }
    std::string error;
    if (!session.LoadModule(error)) {
        std::cerr << "harbor: " << error << "\n";
        return kUsage;
    }
    // A window shows where each printed letter went (or why it failed), and says it on stderr.
    if (window) {
        print_options->notice = [&print_notice](const std::string& what) {
            std::cerr << "harbor: " << what << "\n";
            print_notice.Show(what, HxNow());
        };
    }
    CanvasSprites& canvases = session.Canvases();
    PrintService printing(session.Scenes(), options.content_dir,
                          [&canvases](uint16_t scene, uint16_t sprite) { return canvases.Picture(scene, sprite); },
                          std::move(*print_options));
    if (window) return RunWindow(std::move(window), session, print_notice);
    return script ? RunScriptFile(session, *script) : RunDemo(session, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "dict-dump") {
        return RunDictDump(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    }
    if (argc > 1 && std::string_view(argv[1]) == "page") {
        return RunPageCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    }
    if (argc > 1 && std::string_view(argv[1]) == "recover") {
        return RunRecoverCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr, DefaultDataDir());
    }
    if (argc > 1 && std::string_view(argv[1]) == "server") {
        return RunServerCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr, DefaultDataDir(),
                                FirstExisting(ContentCandidates(ExecutableDir())));
    }
    MailCommandContext mail_context{std::cin, std::cout, std::cerr};
    mail_context.terminal = StdinIsTerminal();
    mail_context.default_data = DefaultDataDir();
    mail_context.now = static_cast<uint32_t>(std::time(nullptr));
    if (auto status = RunMailCommand(std::vector<std::string>(argv + 1, argv + argc), mail_context)) return *status;
    CommandLineResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "harbor: " << parsed.error << "\n";
        return kUsage;
    }
    if (parsed.options.version) {
        std::cout << VersionText(parsed.options);
        return 0;
    }
    if (parsed.options.help) {
        std::cout << HelpText() << "\n" << MailCommandHelp() << "\nMail server commands:\n" << ServerHelp();
        return 0;
    }
    const int status = Run(parsed.options);
    TraceLog::Instance().SetSink(nullptr);
    TraceLog::Instance().SetProblemSink(nullptr);
    return status;
}
