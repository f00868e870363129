#include "print/printer_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <vector>

extern char** environ;

namespace harbor {

namespace {

constexpr std::size_t kMaxOutput = 4096;

struct Outcome {
    bool started = false;
    int status = 0;      // as waitpid gives it
    std::string output;  // the chosen stream, at most kMaxOutput bytes
};

// Runs argv[0] (searched on PATH) with stdin from /dev/null, and collects its stdout or stderr;
// the other stream goes to /dev/null.
Outcome Run(std::vector<std::string> args, bool collect_stdout) {
    Outcome outcome;
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], collect_stdout ? STDOUT_FILENO : STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, collect_stdout ? STDERR_FILENO : STDOUT_FILENO, "/dev/null",
                                     O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    outcome.started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    std::array<char, 512> buffer{};
    ssize_t got = 0;
    while (outcome.started && (got = read(pipe_fds[0], buffer.data(), buffer.size())) != 0) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (outcome.output.size() < kMaxOutput) outcome.output.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(pipe_fds[0]);
    while (outcome.started && waitpid(pid, &outcome.status, 0) < 0 && errno == EINTR) {
    }
    return outcome;
}

std::string FirstLine(const std::string& text) {
    const std::size_t end = text.find('\n');
    return text.substr(0, end);
}

}  // namespace

bool SendToPrinter(const PrinterChoice& printer, const std::filesystem::path& file, std::string& error) {
    std::vector<std::string> args{printer.program};
    if (!printer.name.empty()) {
        args.push_back("-d");
        args.push_back(printer.name);
    }
    args.push_back("--");
    args.push_back(file.string());
    const Outcome outcome = Run(std::move(args), false);
    if (!outcome.started) {
        error = "cannot start " + printer.program;
        return false;
    }
    if (WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0) return true;
    const std::string said = FirstLine(outcome.output);
    error = printer.program + (WIFEXITED(outcome.status)
                                   ? " failed with status " + std::to_string(WEXITSTATUS(outcome.status))
                                   : std::string(" was killed"));
    if (!said.empty()) error += ": " + said;
    return false;
}

std::optional<std::string> SystemDefaultPrinter() {
    const Outcome outcome = Run({"lpstat", "-d"}, true);
    if (!outcome.started || !WIFEXITED(outcome.status) || WEXITSTATUS(outcome.status) != 0) return std::nullopt;
    // "system default destination: NAME"; other wordings mean there is none.
    const std::string line = FirstLine(outcome.output);
    const std::string prefix = "system default destination: ";
    if (line.rfind(prefix, 0) != 0 || line.size() == prefix.size()) return std::nullopt;
    return line.substr(prefix.size());
}

}  // namespace harbor
