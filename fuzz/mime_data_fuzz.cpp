// "Data" text from anywhere (a stored message file, a server) through GMime to every property
// of the message and of each part: any text must give a message, never a crash. The text read
// back as "Data" must itself give a message whose parts can all be read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mail/mime_objects.h"

namespace {

using harbor::MailProperty;

constexpr int kMaxDepth = 8;

void ReadAll(harbor::MimeObjectTable& table, uint32_t handle, int depth) {
    for (MailProperty p : {MailProperty::To, MailProperty::From, MailProperty::Subject, MailProperty::Body,
                           MailProperty::ContentType, MailProperty::Data}) {
        if (table.Text(handle, p) == nullptr) std::abort();  // a live object answers every text
    }
    // Header texts are one line of valid UTF-8: nothing the module could take for a field break.
    for (MailProperty p : {MailProperty::To, MailProperty::From, MailProperty::Subject}) {
        const char* text = table.Text(handle, p);
        if (!g_utf8_validate(text, -1, nullptr)) std::abort();
        for (const char* c = text; *c != '\0'; ++c) {
            if (static_cast<unsigned char>(*c) < 0x20) std::abort();
        }
    }
    if (!table.Long(handle, MailProperty::Date)) std::abort();
    const int32_t parts = table.Long(handle, MailProperty::Parts).value_or(-1);
    if (parts < 0) std::abort();
    if (depth == kMaxDepth) return;
    for (int32_t i = 0; i < parts; ++i) {
        const uint32_t part = table.Part(handle, i);
        if (part == 0) std::abort();
        ReadAll(table, part, depth + 1);
    }
    if (table.Part(handle, parts) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The text arrives as a C string: it ends at the first NUL.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));

    harbor::MimeObjectTable table("wrenmail.local");
    const uint32_t message = table.NewMessage(text);
    if (message == 0) std::abort();
    ReadAll(table, message, 0);
    const std::string again = table.Text(message, MailProperty::Data);
    const uint32_t copy = table.NewMessage(again);
    ReadAll(table, copy, 0);
    table.SetText(copy, MailProperty::Body, "changed");
    table.SetText(copy, MailProperty::To, text.substr(0, 64));
    ReadAll(table, copy, 0);
    if (!table.Free(message) || !table.Free(copy) || table.Live() != 0) std::abort();
    return 0;
}
