#include "fileio/dict_file_format.h"

#include <cstring>
#include <unordered_set>

#include "fileio/checksum.h"

namespace harbor {

namespace {

constexpr char kMagic[kDictFileMagicSize + 1] = "\x89HBDICT\n";
constexpr std::size_t kHeaderSize = kDictFileMagicSize + 2 + 2 + 4;
constexpr std::size_t kCrcSize = 4;
constexpr std::size_t kMaxNameBytes = 0xFFFF;
constexpr std::size_t kSmallestEntry = 1 + 2 + 2;  // a Short under the empty name
// Up to this many entries duplicates are looked for pairwise; beyond, through a hash set.
constexpr std::size_t kPairwiseDuplicateLimit = 32;

void PutU16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFFu));
    out.push_back(static_cast<char>((v >> 8) & 0xFFu));
}

void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}

void PutName(std::string& out, std::string_view name) {
    PutU16(out, static_cast<uint32_t>(name.size()));
    out.append(name);
}

std::size_t EncodedSize(const DictFileEntry& e) {
    std::size_t size = 1 + 2 + e.key.size();
    switch (e.kind) {
        case StoredKind::Short: return size + 2;
        case StoredKind::NamedShort: return size + 2 + 2 + e.text.size();
        case StoredKind::Text: return size + 4 + e.text.size();
        default: return size + 4;
    }
}

bool Encodable(const std::vector<DictFileEntry>& entries) {
    std::size_t total = kHeaderSize + kCrcSize;
    for (const DictFileEntry& e : entries) {
        if (e.key.size() > kMaxNameBytes) return false;
        if (e.kind == StoredKind::NamedShort && e.text.size() > kMaxNameBytes) return false;
        total += EncodedSize(e);
        if (total > kMaxDictFileBytes) return false;
    }
    return true;
}

void EncodeEntry(const DictFileEntry& e, std::string& out) {
    out.push_back(static_cast<char>(e.kind));
    PutName(out, e.key);
    switch (e.kind) {
        case StoredKind::Short:
            PutU16(out, e.value & 0xFFFFu);
            break;
        case StoredKind::NamedShort:
            PutU16(out, e.value & 0xFFFFu);
            PutName(out, e.text);
            break;
        case StoredKind::Text:
            PutU32(out, static_cast<uint32_t>(e.text.size()));
            out.append(e.text);
            break;
        default:
            PutU32(out, e.value);
            break;
    }
}

// A bounds-checked cursor over the bytes between the header and the checksum.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool Done() const { return at_ == bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - at_; }

    bool U8(uint32_t& v) { return Number(v, 1); }
    bool U16(uint32_t& v) { return Number(v, 2); }
    bool U32(uint32_t& v) { return Number(v, 4); }

    bool Bytes(std::size_t n, std::string_view& out) {
        if (n > Left()) return false;
        out = bytes_.substr(at_, n);
        at_ += n;
        return true;
    }

    // A u16 length and that many bytes, with no NUL among them.
    bool Name(std::string_view& out) {
        uint32_t n = 0;
        return U16(n) && Bytes(n, out) && out.find('\0') == std::string_view::npos;
    }

private:
    bool Number(uint32_t& v, std::size_t width) {
        if (width > Left()) return false;
        v = 0;
        for (std::size_t i = 0; i < width; ++i) {
            v |= uint32_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        }
        at_ += width;
        return true;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
};

bool KnownKind(uint32_t kind) {
    switch (static_cast<StoredKind>(kind)) {
        case StoredKind::Long:
        case StoredKind::Short:
        case StoredKind::Text:
        case StoredKind::Float:
        case StoredKind::Type9:
        case StoredKind::NamedShort: return true;
    }
    return false;
}

bool DecodeValue(Cursor& in, DictFileEntry& e) {
    switch (e.kind) {
        case StoredKind::Short: return in.U16(e.value);
        case StoredKind::NamedShort: return in.U16(e.value) && in.Name(e.text);
        case StoredKind::Text: {
            uint32_t n = 0;
            return in.U32(n) && in.Bytes(n, e.text) && e.text.find('\0') == std::string_view::npos;
        }
        default: return in.U32(e.value);
    }
}

bool DecodeEntry(Cursor& in, DictFileEntry& e) {
    uint32_t kind = 0;
    if (!in.U8(kind) || !KnownKind(kind)) return false;
    e.kind = static_cast<StoredKind>(kind);
    e.value = 0;
    e.text = {};
    return in.Name(e.key) && DecodeValue(in, e);
}

bool HasDuplicateKeys(const std::vector<DictFileEntry>& entries) {
    if (entries.size() <= kPairwiseDuplicateLimit) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            for (std::size_t j = i + 1; j < entries.size(); ++j) {
                if (entries[i].key == entries[j].key) return true;
            }
        }
        return false;
    }
    std::unordered_set<std::string_view> seen;
    seen.reserve(entries.size());
    for (const DictFileEntry& e : entries) {
        if (!seen.insert(e.key).second) return true;
    }
    return false;
}

bool Fail(std::string* error, std::string why) {
    if (error != nullptr) *error = std::move(why);
    return false;
}

uint32_t LittleU32(std::string_view bytes, std::size_t at) {
    Cursor in(bytes.substr(at, 4));
    uint32_t v = 0;
    in.U32(v);
    return v;
}

bool CheckFrame(std::string_view bytes, std::string* error) {
    if (bytes.size() < kHeaderSize + kCrcSize) {
        return Fail(error, bytes.size() >= kDictFileMagicSize && bytes.starts_with(std::string_view(kMagic, kDictFileMagicSize))
                               ? "truncated"
                               : "not a dictionary file");
    }
    if (bytes.substr(0, kDictFileMagicSize) != std::string_view(kMagic, kDictFileMagicSize)) {
        return Fail(error, "not a dictionary file");
    }
    if (bytes.size() > kMaxDictFileBytes) return Fail(error, "too large");
    const std::size_t body = bytes.size() - kCrcSize;
    if (Crc32(bytes.data(), body) != LittleU32(bytes, body)) return Fail(error, "checksum mismatch (damaged or truncated)");
    return true;
}

}  // namespace

bool EncodeDictFile(const std::vector<DictFileEntry>& entries, std::string& out) {
    out.clear();
    if (!Encodable(entries)) return false;
    out.append(kMagic, kDictFileMagicSize);
    PutU16(out, kDictFileVersion);
    PutU16(out, 0);
    PutU32(out, static_cast<uint32_t>(entries.size()));
    for (const DictFileEntry& e : entries) EncodeEntry(e, out);
    PutU32(out, Crc32(out.data(), out.size()));
    return true;
}

bool DecodeDictFile(std::string_view bytes, std::vector<DictFileEntry>& entries, std::string* error) {
    entries.clear();
    if (!CheckFrame(bytes, error)) return false;
    Cursor in(bytes.substr(kDictFileMagicSize, bytes.size() - kDictFileMagicSize - kCrcSize));
    uint32_t version = 0;
    uint32_t flags = 0;
    uint32_t count = 0;
    in.U16(version);
    in.U16(flags);
    in.U32(count);
    if (version != kDictFileVersion) return Fail(error, "unsupported version " + std::to_string(version));
    if (flags != 0) return Fail(error, "unknown flags");
    if (count > in.Left() / kSmallestEntry) return Fail(error, "entry count beyond the file's size");
    entries.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!DecodeEntry(in, entries[i])) {
            entries.clear();
            return Fail(error, "bad entry " + std::to_string(i));
        }
    }
    if (!in.Done()) {
        entries.clear();
        return Fail(error, "bytes after the last entry");
    }
    if (HasDuplicateKeys(entries)) {
        entries.clear();
        return Fail(error, "duplicate keys");
    }
    return true;
}

const char* KindName(StoredKind kind) {
    switch (kind) {
        case StoredKind::Long: return "Long";
        case StoredKind::Short: return "Short";
        case StoredKind::Text: return "Text";
        case StoredKind::Float: return "Float";
        case StoredKind::Type9: return "Type9";
        case StoredKind::NamedShort: return "Short";
    }
    return "?";
}

}  // namespace harbor
