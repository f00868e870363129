// Dictionary files: any bytes must decode to entries or to a refusal, never a crash. What
// decodes must encode to the very same bytes (the format has one spelling for each dictionary),
// and must load into the host's dictionary object with every text readable in full.
// Each input is tried twice: as it is, and with a correct checksum appended, so the entry parser
// is reached without the fuzzer having to forge the checksum first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "edict.h"
#include "fileio/checksum.h"
#include "fileio/dict_file_format.h"
#include "fileio/stored_dict.h"
#include "hxmsg.h"

namespace {

void CheckLoaded(harbor::StoredDict& dict, const std::vector<harbor::DictFileEntry>& entries) {
    if (!dict.Load(entries)) return;  // the atom table is full: a refusal, not a fault
    if (dict.KeyCount() != static_cast<int32_t>(entries.size())) std::abort();
    for (int32_t i = 0; i < dict.KeyCount(); ++i) {
        uint16_t type = 0;
        const uint16_t key = dict.KeyAt(i, &type);
        if (key == 0 || !dict.HasKey(key)) std::abort();
        if (type != EDictText) continue;
        const auto* text = static_cast<const char*>(HxDeref(dict.GetText(key)));
        if (text == nullptr || std::strlen(text) != entries[static_cast<std::size_t>(i)].text.size()) std::abort();
    }
}

void Try(std::string_view bytes) {
    static harbor::StoredDict dict;  // one object, reused as the file service reuses it
    std::vector<harbor::DictFileEntry> entries;
    if (!harbor::DecodeDictFile(bytes, entries)) return;
    std::string again;
    if (!harbor::EncodeDictFile(entries, again) || again != bytes) std::abort();
    CheckLoaded(dict, entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Try(bytes);
    std::string sealed(bytes);
    const uint32_t crc = harbor::Crc32(sealed.data(), sealed.size());
    for (int i = 0; i < 4; ++i) sealed.push_back(static_cast<char>((crc >> (8 * i)) & 0xFFu));
    Try(sealed);
    return 0;
}
