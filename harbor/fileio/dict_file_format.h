// Harbor's dictionary file: the bytes of one stored dictionary, without any file system access.
// All numbers are little-endian.
//
//   magic    8 bytes  89 48 42 44 49 43 54 0A  ("\x89HBDICT\n")
//   version  u16      1
//   flags    u16      0 (reserved)
//   count    u32      number of entries
//   entries  count times: kind u8, key name (u16 length + bytes), value (by kind, below)
//   crc      u32      CRC-32 of every byte before it
//
// Values: Long i32; Short u16; Text u32 length + bytes; Float u32 (IEEE bits); Type9 u32;
// NamedShort u16 (the number it had when written) + u16 length + the atom's name.
// Keys are stored by name because atoms differ from run to run. A decoder accepts exactly what
// the encoder writes: no trailing bytes, no duplicate keys, no NUL inside a name or text.
#ifndef HARBOR_FILEIO_DICT_FILE_FORMAT_H
#define HARBOR_FILEIO_DICT_FILE_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

// The record's own type codes for plain values, and one more for a Short that names an atom.
enum class StoredKind : uint8_t { Long = 1, Short = 3, Text = 4, Float = 7, Type9 = 9, NamedShort = 0x83 };

struct DictFileEntry {
    std::string_view key;   // the key atom's name
    StoredKind kind = StoredKind::Long;
    uint32_t value = 0;     // every kind but Text; a NamedShort's number at write time
    std::string_view text;  // Text: the characters; NamedShort: the atom's name
};

inline constexpr uint16_t kDictFileVersion = 1;
inline constexpr std::size_t kDictFileMagicSize = 8;
// Larger files are refused by both sides; a mail with big attachments still fits.
inline constexpr std::size_t kMaxDictFileBytes = std::size_t{512} << 20;

// Replaces `out` with the file's bytes. False (out unspecified) when a name is over 65535 bytes
// or the file would pass kMaxDictFileBytes.
bool EncodeDictFile(const std::vector<DictFileEntry>& entries, std::string& out);

// Replaces `entries` with views into `bytes`. False for anything the encoder would not have
// written; `error` (when given) then says why in a few words.
bool DecodeDictFile(std::string_view bytes, std::vector<DictFileEntry>& entries, std::string* error = nullptr);

// "Long", "Short", ...: for messages and dumps.
const char* KindName(StoredKind kind);

}  // namespace harbor

#endif
