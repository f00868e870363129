// The settings read from WNSettings.dct at every start: the two web addresses the screens open and
// the mail server names and ports, which are only kept. There are no built-in defaults: a missing
// file or key leaves texts empty and numbers 0.
#ifndef WRENMAIL_STATE_SETTINGS_H
#define WRENMAIL_STATE_SETTINGS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace wm {

struct Settings {
    // Longest text kept; longer ones are cut.
    static constexpr std::size_t kMaxText = 127;

    std::string signUpUrl;
    std::string parentUrl;
    std::string domain;
    std::string smtpServer;
    std::string imapServer;
    int32_t smtpPort = 0;
    int32_t imapPort = 0;
};

Settings& AppSettings();

// Reads the settings file; when it cannot be opened, the settings stay as they were.
void LoadSettings();

}  // namespace wm

#endif
