#include "runtime/record_format.h"

#include <cstdio>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"

namespace harbor {

namespace {

std::string Quote(const char* text) {
    if (text == nullptr) return "null";
    std::string out = "\"";
    std::size_t n = 0;
    bool cut = false;
    for (const char* p = text; *p != '\0'; ++p, ++n) {
        if (n == kTracedTextLimit) {
            cut = true;
            break;
        }
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    if (cut) out += "...";  // outside the quotes: a text may itself end in dots
    return out;
}

std::string KeyName(uint16_t key) {
    std::string name = KnownName(key);
    return name.empty() ? "#" + std::to_string(key) : name;
}

}  // namespace

std::string FormatType(uint16_t type) {
    if (type >= code::kFirst && type <= code::kLast) return std::to_string(type);
    std::string name = KnownName(type);
    return name.empty() ? std::to_string(type) : name;
}

std::string FormatValue(const EDict& record, uint16_t key, uint16_t value_type) {
    switch (value_type) {
        case EDictShort: {
            uint16_t value = EDictGetShort(&record, key);
            std::string name = KnownName(value);
            return name.empty() ? std::to_string(value) : name;
        }
        case EDictText:
            return Quote(EDictGetText(&record, key));
        case EDictFloat: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(EDictGetFloat(&record, key)));
            return buffer;
        }
        case EDictLong:
            return std::to_string(EDictGetLong(&record, key));
        default:  // Pointer, Handle, type 9: 32-bit numbers without sign
            return std::to_string(static_cast<uint32_t>(EDictGetLong(&record, key)));
    }
}

std::string FormatRecord(const EDict& record) {
    std::string out = FormatType(EDictGetType(&record));
    const int32_t count = EDictKeyCount(&record);
    for (int32_t i = 0; i < count; ++i) {
        uint16_t value_type = 0;
        uint16_t key = EDictKeyAt(&record, i, &value_type);
        out += ' ';
        out += KeyName(key);
        out += '=';
        out += FormatValue(record, key, value_type);
    }
    return out;
}

}  // namespace harbor
