#include "mail/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <istream>
#include <ostream>

namespace harbor {

namespace {

// Turns the terminal's echo off for as long as it lives.
class EchoOff {
public:
    EchoOff() : active_(::tcgetattr(STDIN_FILENO, &saved_) == 0) {
        if (!active_) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (active_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_;
};

}  // namespace

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

std::optional<std::string> ReadPassword(std::istream& in, std::ostream& prompt_out, const std::string& prompt,
                                        bool terminal) {
    std::string line;
    bool got = false;
    if (terminal) {
        prompt_out << prompt << std::flush;
        EchoOff quiet;
        got = static_cast<bool>(std::getline(in, line));
    } else {
        got = static_cast<bool>(std::getline(in, line));
    }
    if (!got) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace harbor
