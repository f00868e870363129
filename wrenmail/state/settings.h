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

    std::string sign_up_url;
    std::string parent_url;
    std::string domain;
    std::string smtp_server;
    std::string imap_server;
    int32_t smtp_port = 0;
    int32_t imap_port = 0;
};

Settings& AppSettings();

// Reads the settings file; when it cannot be opened, the settings stay as they were.
void LoadSettings();

}  // namespace wm

#endif
