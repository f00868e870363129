// Records as people read them: the type (a number, or the action atom's name) and each key by
// name with its typed value.
#ifndef HARBOR_RUNTIME_RECORD_FORMAT_H
#define HARBOR_RUNTIME_RECORD_FORMAT_H

#include <cstddef>
#include <string>

#include "edict.h"

namespace harbor {

// Texts longer than this are cut and marked with "...".
inline constexpr std::size_t kTracedTextLimit = 60;

std::string FormatType(uint16_t type);
// One key's value: Short as its atom's name when known (else the number), Text quoted with C
// escapes, the other kinds as numbers; Float as a decimal.
std::string FormatValue(const EDict& record, uint16_t key, uint16_t value_type);
// "30013 NAME=ScCsSignIn X=10": the type, then every key in slot order.
std::string FormatRecord(const EDict& record);

}  // namespace harbor

#endif
