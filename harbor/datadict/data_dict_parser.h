// The text form of a data dictionary (JSON, see docs/data-dictionary-format.md) turned into a
// DataDict. Malformed or hostile text gives an error message, never an exception or a crash.
#ifndef HARBOR_DATADICT_DATA_DICT_PARSER_H
#define HARBOR_DATADICT_DATA_DICT_PARSER_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "datadict/data_dict.h"

namespace harbor {

struct DataDictLimits {
    std::size_t max_depth = 64;                          // nested arrays and objects
    std::size_t max_bytes = std::size_t{4} * 1024 * 1024;  // of the source text
    // Distinct names (keys and "@" values) of one source: atoms are 16-bit and process-wide,
    // so one hostile file must not use them up.
    std::size_t max_names = 4096;
};

struct DataDictResult {
    std::unique_ptr<DataDict> dict;  // set on success
    std::string error;               // on failure: "source:line:column: what went wrong"
    explicit operator bool() const { return dict != nullptr; }
};

// `source` names the text in messages (a file name, as a compiler would).
DataDictResult ParseDataDict(std::string_view text, std::string_view source,
                             const DataDictLimits& limits = {});

}  // namespace harbor

#endif
