#include "state/settings.h"

#include "messaging/data_dict_reader.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

Settings g_settings;

void ReadText(DataDictReader& reader, const char* key, std::string* setting) {
    std::string value(reader.GetText(FetchAtom(key), DataDictReader::kPlain));
    if (value.size() > Settings::kMaxText) {
        value.resize(Settings::kMaxText);
    }
    *setting = std::move(value);
}

int32_t ReadNumber(DataDictReader& reader, const char* key) {
    return reader.GetLong(FetchAtom(key), DataDictReader::kPlain);
}

}  // namespace

Settings& AppSettings() {
    return g_settings;
}

void LoadSettings() {
    // The reader releases the resource when it goes, opened or not.
    DataDictReader reader;
    if (!reader.Open("WNSettings.dct")) {
        return;
    }
    ReadText(reader, "SIGNUPURL", &g_settings.sign_up_url);
    ReadText(reader, "PARENTURL", &g_settings.parent_url);
    ReadText(reader, "DOMAIN", &g_settings.domain);
    ReadText(reader, "SMTPSERVER", &g_settings.smtp_server);
    ReadText(reader, "IMAPSERVER", &g_settings.imap_server);
    g_settings.smtp_port = ReadNumber(reader, "SMTPPORT");
    g_settings.imap_port = ReadNumber(reader, "IMAPPORT");
}

}  // namespace wm
