// Loading a data dictionary file of the host (the settings file, the scenes' dictionaries).
#ifndef HARBOR_DATADICT_DATA_DICT_LOADER_H
#define HARBOR_DATADICT_DATA_DICT_LOADER_H

#include <filesystem>

#include "datadict/data_dict_parser.h"

namespace harbor {

// Reads and parses the file; messages name the file as given, e.g.
// "content/WNSettings.dct:3:14: unexpected string literal; expected ',' or '}'".
DataDictResult LoadDataDictFile(const std::filesystem::path& path,
                                const DataDictLimits& limits = {});

}  // namespace harbor

#endif
