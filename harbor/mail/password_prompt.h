// Reading a password for `harbor account`: from a terminal without echo, else one line of
// standard input (for scripts).
#ifndef HARBOR_MAIL_PASSWORD_PROMPT_H
#define HARBOR_MAIL_PASSWORD_PROMPT_H

#include <iosfwd>
#include <optional>
#include <string>

namespace harbor {

// With `terminal`, the prompt goes to `prompt_out` and the terminal's echo is off while the line
// is typed. Null at the end of input. A trailing carriage return is dropped.
std::optional<std::string> ReadPassword(std::istream& in, std::ostream& prompt_out, const std::string& prompt,
                                        bool terminal);

// Whether standard input is a terminal.
bool StdinIsTerminal();

}  // namespace harbor

#endif
